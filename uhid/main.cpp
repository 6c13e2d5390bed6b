// SPDX-License-Identifier: GPL-3.0-or-later
// lumivane-uhid-meter IMAGE [--vanish-after N]
// Plugs a virtual meter into the kernel through UHID, so that it shows up as a hidraw device
// that programs reach exactly like a real meter. The device answers from the meter image
// through the virtual meter model until SIGTERM or SIGINT, which remove it; --vanish-after N
// removes it after N input reports, like an unplug in the middle of a transfer.

#include "MeterImage.h"
#include "UhidMeter.h"
#include "VirtualMeter.h"

#include <csignal>
#include <cstdio>
#include <sys/signalfd.h>
#include <unistd.h>

namespace {

int usage()
{
    std::fprintf(stderr, "usage: lumivane-uhid-meter IMAGE [--vanish-after N]\n");
    return 2;
}

} // namespace

int main(int argc, char *argv[])
{
    QString imagePath;
    int vanishAfter = 0;
    for (int i = 1; i < argc; ++i) {
        const QByteArray arg(argv[i]);
        if (arg == "--vanish-after" && i + 1 < argc) {
            bool ok = false;
            vanishAfter = QByteArray(argv[++i]).toInt(&ok);
            if (!ok || vanishAfter < 1)
                return usage();
        } else if (!arg.startsWith("-") && imagePath.isEmpty()) {
            imagePath = QString::fromLocal8Bit(arg);
        } else {
            return usage();
        }
    }
    if (imagePath.isEmpty())
        return usage();

    MeterImage image;
    QString error;
    if (!MeterImage::fromFile(imagePath, image, error)) {
        std::fprintf(stderr, "lumivane-uhid-meter: %s: %s\n", qPrintable(imagePath), qPrintable(error));
        return 1;
    }
    // Instant model timing: the kernel and the host program set the real pace.
    VirtualMeter model(image);

    // The signals arrive through a descriptor that the loop polls together with /dev/uhid.
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGTERM);
    sigaddset(&stopSignals, SIGINT);
    sigprocmask(SIG_BLOCK, &stopSignals, nullptr);
    const int signalFd = signalfd(-1, &stopSignals, SFD_CLOEXEC);
    if (signalFd < 0) {
        std::perror("lumivane-uhid-meter: signalfd");
        return 1;
    }

    UhidMeter meter(model, vanishAfter);
    if (!meter.plugIn()) {
        std::fprintf(stderr, "lumivane-uhid-meter: cannot create the device: %s\n", qPrintable(meter.errorString()));
        ::close(signalFd);
        return 1;
    }
    std::printf("lumivane-uhid-meter: device created, serial number %s\n", qPrintable(model.serialString()));
    std::fflush(stdout);

    const UhidMeter::Stop stop = meter.serve(signalFd);
    meter.unplug();
    ::close(signalFd);
    switch (stop) {
    case UhidMeter::Stop::Signal:
        std::printf("lumivane-uhid-meter: device removed on signal after %d input reports\n", meter.inputReportsSent());
        return 0;
    case UhidMeter::Stop::Vanished:
        std::printf("lumivane-uhid-meter: device vanished after %d input reports\n", meter.inputReportsSent());
        return 0;
    case UhidMeter::Stop::Error:
        break;
    }
    std::fprintf(stderr, "lumivane-uhid-meter: %s\n", qPrintable(meter.errorString()));
    return 1;
}
