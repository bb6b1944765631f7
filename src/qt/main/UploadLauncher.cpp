#include "qt/main/UploadLauncher.h"

#include "platform/HostTrust.h"
#include "platform/SchemeFtpClient.h"
#include "platform/TrustedKeyStore.h"
#include "qt/ftp/FtpWindow.h"
#include "qt/platform/MessageBoxes.h"
#include "qt/platform/QtTrustDecider.h"

#include <memory>

namespace vantiro {

void UploadLauncher::open(MessageBoxes& boxes, const QString& programFolder, QWidget* parent)
{
    // Keys the user accepts are kept for the next connect; one decision serves every
    // connection of the window.
    HostTrust::Settings trust;
    trust.decider = std::make_shared<QtTrustDecider>(boxes);
    trust.trustedKeysPath = TrustedKeyStore::defaultPath();
    trust.rememberAccepted = true;
    trust.knownHostsPath = HostTrust::defaultKnownHostsPath();
    const auto hostTrust = std::make_shared<HostTrust>(trust);
    FtpWindow window(
        boxes, [hostTrust] { return std::make_unique<SchemeFtpClient>(hostTrust); }, programFolder,
        parent);
    window.exec();
}

} // namespace vantiro
