#include "qt/ftp/FtpWindowUi.h"

#include "qt/ftp/DriveList.h"
#include "qt/ftp/FileList.h"
#include "qt/ftp/FolderList.h"
#include "qt/platform/KeyboardAccess.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace vantiro {
namespace {

template <typename Widget> Widget* named(Widget* widget, const char* name)
{
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}

QLabel* label(QWidget& parent, const char* name, const QString& text = QString())
{
    auto* created = named(new QLabel(text, &parent), name);
    // Remote names and server responses are shown as sent, never read as markup.
    created->setTextFormat(Qt::PlainText);
    return created;
}

QLabel* valueLabel(QWidget& parent, const char* name)
{
    QLabel* created = label(parent, name);
    created->setFrameShape(QFrame::Panel);
    created->setFrameShadow(QFrame::Sunken);
    created->setTextInteractionFlags(Qt::TextSelectableByMouse);
    return created;
}

QPushButton* button(QWidget& parent, const char* name, const QString& caption)
{
    auto* created = named(new QPushButton(caption, &parent), name);
    // Enter is handled in the two fields where it means something; no button is pressed by it.
    created->setAutoDefault(false);
    return created;
}

// Screen readers name each field by its label and each list by its heading; Tab follows the
// window from the connection fields over the remote side to the local side.
void setUpKeyboard(FtpWindowUi& ui)
{
    KeyboardAccess::nameByLabel(*ui.Label1, *ui.txtServername);
    KeyboardAccess::nameByLabel(*ui.Label2, *ui.txtUsername);
    KeyboardAccess::nameByLabel(*ui.Label3, *ui.txtPassword);
    KeyboardAccess::name(*ui.lstServer, ui.Frame1->title());
    KeyboardAccess::name(*ui.txtFilter, QStringLiteral("Suchmuster"));
    KeyboardAccess::name(*ui.DriveLokal, QStringLiteral("Lokaler Datenträger"));
    KeyboardAccess::name(*ui.DirLokal, QStringLiteral("Lokale Verzeichnisse"));
    KeyboardAccess::name(*ui.fileListLokal, QStringLiteral("Lokale Dateien"));
    KeyboardAccess::makeOptionGroup(*ui.optAscii->group());
    KeyboardAccess::setTabOrder({ui.txtServername, ui.txtUsername, ui.txtPassword, ui.cmdConnect,
                                 ui.cmdDisconnect, ui.chkPassiv,   ui.optAscii,    ui.optBinaer,
                                 ui.lstServer,     ui.txtFilter,   ui.cmdRefresh,  ui.cmdOpen,
                                 ui.cmdDelete,     ui.cmdRename,   ui.cmdMakeDir,  ui.cmdUpload,
                                 ui.cmdDownload,   ui.DriveLokal,  ui.DirLokal,    ui.fileListLokal,
                                 ui.cmdExit});
}

} // namespace

FtpWindowUi::FtpWindowUi(QWidget& window)
{
    window.setWindowTitle(QStringLiteral("VTR30 - Doorpage-UpLoader"));
    createConnectionFrame(window);
    createRemoteFrame(window);
    createLocalFrame(window);
    createBottomRow(window);
    layOut(window);
    resetStartValues();
    setUpKeyboard(*this);
}

void FtpWindowUi::createConnectionFrame(QWidget& window)
{
    Frame3 = named(new QGroupBox(QStringLiteral("Verbindung zum FTP-Server"), &window), "Frame3");
    Label1 = label(*Frame3, "Label1", QStringLiteral("Server"));
    Label2 = label(*Frame3, "Label2", QStringLiteral("Username"));
    Label3 = label(*Frame3, "Label3", QStringLiteral("Passwort"));
    txtServername = named(new QLineEdit(Frame3), "txtServername");
    txtUsername = named(new QLineEdit(Frame3), "txtUsername");
    txtPassword = named(new QLineEdit(Frame3), "txtPassword");
    txtPassword->setEchoMode(QLineEdit::Password);
    // Every character shows as "*", whatever masking character the style prefers.
    txtPassword->setStyleSheet(QStringLiteral("lineedit-password-character: 42;"));
    Label6 = label(*Frame3, "Label6", QStringLiteral("Veränderung "));
    Label5 = label(*Frame3, "Label5", QStringLiteral("Größe "));
    Label4 = label(*Frame3, "Label4", QStringLiteral("Attribute "));
    lblVeraenderung = valueLabel(*Frame3, "lblVeraenderung");
    lblGroesse = valueLabel(*Frame3, "lblGroesse");
    lblAttribute = valueLabel(*Frame3, "lblAttribute");
    cmdConnect = button(*Frame3, "cmdConnect", QStringLiteral("CONNECT"));
    cmdDisconnect = button(*Frame3, "cmdDisconnect", QStringLiteral("DISCONNECT"));
    optAscii = named(new QRadioButton(QStringLiteral("ASCII-Transfer"), Frame3), "optAscii");
    optBinaer = named(new QRadioButton(QStringLiteral("Binär-Transfer"), Frame3), "optBinaer");
    auto* transferGroup = new QButtonGroup(Frame3);
    transferGroup->addButton(optAscii);
    transferGroup->addButton(optBinaer);
    chkPassiv = named(new QCheckBox(QStringLiteral("Passiv-Transfer*"), Frame3), "chkPassiv");

    auto* grid = new QGridLayout(Frame3);
    grid->addWidget(Label1, 0, 0);
    grid->addWidget(txtServername, 0, 1);
    grid->addWidget(Label2, 1, 0);
    grid->addWidget(txtUsername, 1, 1);
    grid->addWidget(Label3, 2, 0);
    grid->addWidget(txtPassword, 2, 1);
    grid->addWidget(cmdConnect, 0, 2);
    grid->addWidget(cmdDisconnect, 1, 2);
    grid->addWidget(chkPassiv, 2, 2);
    grid->addWidget(Label6, 0, 3, Qt::AlignRight);
    grid->addWidget(lblVeraenderung, 0, 4);
    grid->addWidget(Label5, 1, 3, Qt::AlignRight);
    grid->addWidget(lblGroesse, 1, 4);
    grid->addWidget(Label4, 2, 3, Qt::AlignRight);
    grid->addWidget(lblAttribute, 2, 4);
    grid->addWidget(optAscii, 0, 5);
    grid->addWidget(optBinaer, 1, 5);
    grid->setColumnStretch(1, 2);
    grid->setColumnStretch(4, 2);
}

void FtpWindowUi::createRemoteFrame(QWidget& window)
{
    Frame1 = named(new QGroupBox(QStringLiteral("FTP-Verzeichnis"), &window), "Frame1");
    lblFTP = valueLabel(*Frame1, "lblFTP");
    lstServer = named(new QListWidget(Frame1), "lstServer");
    lstServer->setSelectionMode(QAbstractItemView::ExtendedSelection);
    txtFilter = named(new QLineEdit(Frame1), "txtFilter");
    cmdRefresh = button(*Frame1, "cmdRefresh", QStringLiteral("REFRESH"));
    cmdOpen = button(*Frame1, "cmdOpen", QStringLiteral("SHOW/OPEN"));
    cmdDelete = button(*Frame1, "cmdDelete", QStringLiteral("DELETE"));
    cmdRename = button(*Frame1, "cmdRename", QStringLiteral("RENAME"));
    cmdMakeDir = button(*Frame1, "cmdMakeDir", QStringLiteral("MAKE DIR"));

    auto* buttons = new QHBoxLayout;
    for (QPushButton* command : {cmdRefresh, cmdOpen, cmdDelete, cmdRename, cmdMakeDir})
        buttons->addWidget(command);
    auto* column = new QVBoxLayout(Frame1);
    column->addWidget(lblFTP);
    column->addWidget(lstServer, 1);
    column->addWidget(txtFilter);
    column->addLayout(buttons);
}

void FtpWindowUi::createLocalFrame(QWidget& window)
{
    Frame2 = named(new QGroupBox(QStringLiteral("Lokaler Datenträger und Verzeichnisse"), &window),
                   "Frame2");
    DriveLokal = named(new DriveList(Frame2), "DriveLokal");
    DirLokal = named(new FolderList(Frame2), "DirLokal");
    fileListLokal = named(new FileList(Frame2), "fileListLokal");
    lblLokal = valueLabel(*Frame2, "lblLokal");

    auto* column = new QVBoxLayout(Frame2);
    column->addWidget(DriveLokal);
    column->addWidget(DirLokal, 2);
    column->addWidget(fileListLokal, 3);
    column->addWidget(lblLokal);
}

void FtpWindowUi::createBottomRow(QWidget& window)
{
    cmdUpload = button(window, "cmdUpload", QStringLiteral("<<------ UP"));
    cmdDownload = button(window, "cmdDownload", QStringLiteral("DOWN -->>"));
    lblStatus = valueLabel(window, "lblStatus");
    lblStatus->setWordWrap(true);
    prgTransfer = named(new QProgressBar(&window), "prgTransfer");
    QSizePolicy keepSpace = prgTransfer->sizePolicy();
    keepSpace.setRetainSizeWhenHidden(true);
    prgTransfer->setSizePolicy(keepSpace);
    cmdExit = button(window, "cmdExit", QStringLiteral("EXIT"));
}

void FtpWindowUi::layOut(QWidget& window)
{
    auto* transfers = new QVBoxLayout;
    transfers->addStretch();
    transfers->addWidget(cmdUpload);
    transfers->addWidget(cmdDownload);
    transfers->addStretch();

    auto* panes = new QHBoxLayout;
    panes->addWidget(Frame1, 3);
    panes->addLayout(transfers);
    panes->addWidget(Frame2, 2);

    auto* bottom = new QHBoxLayout;
    auto* status = new QVBoxLayout;
    status->addWidget(lblStatus);
    status->addWidget(prgTransfer);
    bottom->addLayout(status, 1);
    bottom->addWidget(cmdExit, 0, Qt::AlignBottom);

    auto* page = new QVBoxLayout(&window);
    page->addWidget(Frame3);
    page->addLayout(panes, 1);
    page->addLayout(bottom);
}

void FtpWindowUi::resetStartValues()
{
    txtServername->clear();
    txtUsername->clear();
    txtPassword->clear();
    txtFilter->setText(QStringLiteral("*.*"));
    lstServer->clear();
    for (QLabel* text : {lblFTP, lblStatus, lblVeraenderung, lblGroesse, lblAttribute, lblLokal})
        text->clear();
    optAscii->setChecked(true);
    chkPassiv->setChecked(true);
    chkPassiv->setEnabled(false);
    prgTransfer->hide();
}

void FtpWindowUi::setConnected(bool connected)
{
    cmdConnect->setEnabled(!connected);
    cmdDisconnect->setEnabled(connected);
    for (QPushButton* command :
         {cmdDownload, cmdUpload, cmdRefresh, cmdOpen, cmdDelete, cmdRename, cmdMakeDir})
        command->setEnabled(connected);
    chkPassiv->setEnabled(false);
}

} // namespace vantiro
