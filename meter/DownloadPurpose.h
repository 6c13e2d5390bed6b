// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Which table a download serves: the records table takes every meter kind, the spectral table the
// kinds with spectra. The download knows it, and the archive keeps it with the download.
struct DownloadPurpose
{
    enum Purpose {
        Records,
        Spectra
    };
};
