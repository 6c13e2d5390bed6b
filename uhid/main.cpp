// lumivane-uhid-meter IMAGE [--vanish-after N]
// Plugs a virtual meter into the kernel through UHID, so that it shows up as a hidraw device
// that programs reach exactly like a real meter. The device answers from the meter image until
// SIGTERM or SIGINT, which remove it; --vanish-after N removes it after N input reports, like an
// unplug in the middle of a transfer.

#include "EchoResponder.h"
#include "UhidMeter.h"

#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>

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

bool readSerialNo(const QString &path, quint32 &serialNo, QString &error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        error = file.errorString();
        return false;
    }
    QJsonParseError parseError;
    const QJsonDocument doc = QJsonDocument::fromJson(file.readAll(), &parseError);
    if (!doc.isObject()) {
        error = parseError.errorString();
        return false;
    }
    const double value = doc.object().value(QStringLiteral("serialNo")).toDouble(1);
    if (value < 0 || value > 4294967295.0 || value != static_cast<double>(static_cast<quint64>(value))) {
        error = QStringLiteral("serialNo out of range");
        return false;
    }
    serialNo = static_cast<quint32>(value);
    return true;
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

    quint32 serialNo = 0;
    QString error;
    if (!readSerialNo(imagePath, serialNo, error)) {
        std::fprintf(stderr, "lumivane-uhid-meter: %s: %s\n", qPrintable(imagePath), qPrintable(error));
        return 1;
    }
    EchoResponder responder;

    // The signals arrive through a descriptor that the event loop polls with /dev/uhid.
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

    UhidMeter meter(responder, vanishAfter);
    if (!meter.plugIn(serialNo)) {
        std::fprintf(stderr, "lumivane-uhid-meter: cannot create the device: %s\n", qPrintable(meter.errorString()));
        ::close(signalFd);
        return 1;
    }
    std::printf("lumivane-uhid-meter: device created, serial number %u\n", serialNo);
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
