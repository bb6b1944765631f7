#include "qt/main/UploadLauncher.h"

#include "platform/CurlFtpClient.h"
#include "qt/ftp/frmFTP.h"
#include "qt/platform/MessageBoxes.h"

#include <memory>

namespace vantiro {

void UploadLauncher::open(MessageBoxes& boxes, Shell& shell, const QString& programFolder,
                          QWidget* parent)
{
    frmFTP window(
        boxes, shell, [] { return std::make_unique<CurlFtpClient>(); }, programFolder, parent);
    window.exec();
}

} // namespace vantiro
