#include "app/UploadLauncher.h"

#include "platform/MessageBoxes.h"

#ifdef VANTIRO_WITH_FTP_WINDOW
#include "ftp/window/frmFTP.h"
#include "platform/CurlFtpClient.h"

#include <memory>
#endif

namespace vantiro {

#ifdef VANTIRO_WITH_FTP_WINDOW

void UploadLauncher::open(MessageBoxes& boxes, Shell& shell, const QString& programFolder,
                          QWidget* parent)
{
    frmFTP window(
        boxes, shell, [] { return std::make_unique<CurlFtpClient>(); }, programFolder, parent);
    window.exec();
}

#else

// A build without the FTP window still offers the button, and says why it does nothing.
void UploadLauncher::open(MessageBoxes& boxes, Shell&, const QString&, QWidget*)
{
    boxes.message(QString(),
                  QStringLiteral("Der FTP-Uploader ist in dieser Ausgabe nicht enthalten. "
                                 "Verwenden Sie zum UpLoad der Doorpages bitte Ihren "
                                 "Standard-FTP-Client."),
                  MessageBoxes::Icon::Exclamation);
}

#endif

} // namespace vantiro
