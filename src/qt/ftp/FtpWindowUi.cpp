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

#include <utility>

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
    KeyboardAccess::nameByLabel(*ui.serverLabel, *ui.serverEdit);
    KeyboardAccess::nameByLabel(*ui.userLabel, *ui.userEdit);
    KeyboardAccess::nameByLabel(*ui.passwordLabel, *ui.passwordEdit);
    KeyboardAccess::name(*ui.remoteList, ui.remoteGroup->title());
    KeyboardAccess::name(*ui.filterEdit, QStringLiteral("Suchmuster"));
    KeyboardAccess::name(*ui.driveList, QStringLiteral("Lokaler Datenträger"));
    KeyboardAccess::name(*ui.folderList, QStringLiteral("Lokale Verzeichnisse"));
    KeyboardAccess::name(*ui.fileList, QStringLiteral("Lokale Dateien"));
    KeyboardAccess::makeOptionGroup(*ui.asciiOption->group());
    // A value is named by its caption; the value itself is its description (see
    // FtpWindow::setDetails), as a label's name would otherwise be its text alone.
    for (const auto& [caption, value] :
         {std::pair{ui.changedLabel, ui.changedValue}, std::pair{ui.sizeLabel, ui.sizeValue},
          std::pair{ui.attributesLabel, ui.attributesValue}})
        KeyboardAccess::nameByLabel(*caption, *value);
    // The captions stay as they are; a screen reader reads arrows as punctuation.
    KeyboardAccess::name(*ui.uploadButton, QStringLiteral("Hochladen"));
    KeyboardAccess::name(*ui.downloadButton, QStringLiteral("Herunterladen"));
    KeyboardAccess::name(*ui.statusLabel, QStringLiteral("Status"));
    KeyboardAccess::name(*ui.securityLabel, QStringLiteral("Sicherheit der Verbindung"));
    KeyboardAccess::name(*ui.progressBar, QStringLiteral("Fortschritt"));
    KeyboardAccess::setTabOrder({ui.serverEdit,    ui.userEdit,         ui.passwordEdit,
                                 ui.connectButton, ui.disconnectButton, ui.passiveCheck,
                                 ui.asciiOption,   ui.binaryOption,     ui.remoteList,
                                 ui.filterEdit,    ui.refreshButton,    ui.showButton,
                                 ui.deleteButton,  ui.renameButton,     ui.makeFolderButton,
                                 ui.uploadButton,  ui.downloadButton,   ui.driveList,
                                 ui.folderList,    ui.fileList,         ui.exitButton});
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
    connectionGroup =
        named(new QGroupBox(QStringLiteral("Verbindung zum FTP-Server"), &window), "Frame3");
    serverLabel = label(*connectionGroup, "Label1", QStringLiteral("Server"));
    userLabel = label(*connectionGroup, "Label2", QStringLiteral("Username"));
    passwordLabel = label(*connectionGroup, "Label3", QStringLiteral("Passwort"));
    serverEdit = named(new QLineEdit(connectionGroup), "txtServername");
    userEdit = named(new QLineEdit(connectionGroup), "txtUsername");
    passwordEdit = named(new QLineEdit(connectionGroup), "txtPassword");
    passwordEdit->setEchoMode(QLineEdit::Password);
    // Every character shows as "*", whatever masking character the style prefers.
    passwordEdit->setStyleSheet(QStringLiteral("lineedit-password-character: 42;"));
    changedLabel = label(*connectionGroup, "Label6", QStringLiteral("Veränderung "));
    sizeLabel = label(*connectionGroup, "Label5", QStringLiteral("Größe "));
    attributesLabel = label(*connectionGroup, "Label4", QStringLiteral("Attribute "));
    changedValue = valueLabel(*connectionGroup, "lblVeraenderung");
    sizeValue = valueLabel(*connectionGroup, "lblGroesse");
    attributesValue = valueLabel(*connectionGroup, "lblAttribute");
    connectButton = button(*connectionGroup, "cmdConnect", QStringLiteral("CONNECT"));
    disconnectButton = button(*connectionGroup, "cmdDisconnect", QStringLiteral("DISCONNECT"));
    asciiOption =
        named(new QRadioButton(QStringLiteral("ASCII-Transfer"), connectionGroup), "optAscii");
    binaryOption =
        named(new QRadioButton(QStringLiteral("Binär-Transfer"), connectionGroup), "optBinaer");
    auto* transferGroup = new QButtonGroup(connectionGroup);
    transferGroup->addButton(asciiOption);
    transferGroup->addButton(binaryOption);
    passiveCheck =
        named(new QCheckBox(QStringLiteral("Passiv-Transfer*"), connectionGroup), "chkPassiv");

    auto* grid = new QGridLayout(connectionGroup);
    grid->addWidget(serverLabel, 0, 0);
    grid->addWidget(serverEdit, 0, 1);
    grid->addWidget(userLabel, 1, 0);
    grid->addWidget(userEdit, 1, 1);
    grid->addWidget(passwordLabel, 2, 0);
    grid->addWidget(passwordEdit, 2, 1);
    grid->addWidget(connectButton, 0, 2);
    grid->addWidget(disconnectButton, 1, 2);
    grid->addWidget(passiveCheck, 2, 2);
    grid->addWidget(changedLabel, 0, 3, Qt::AlignRight);
    grid->addWidget(changedValue, 0, 4);
    grid->addWidget(sizeLabel, 1, 3, Qt::AlignRight);
    grid->addWidget(sizeValue, 1, 4);
    grid->addWidget(attributesLabel, 2, 3, Qt::AlignRight);
    grid->addWidget(attributesValue, 2, 4);
    grid->addWidget(asciiOption, 0, 5);
    grid->addWidget(binaryOption, 1, 5);
    grid->setColumnStretch(1, 2);
    grid->setColumnStretch(4, 2);
}

void FtpWindowUi::createRemoteFrame(QWidget& window)
{
    remoteGroup = named(new QGroupBox(QStringLiteral("FTP-Verzeichnis"), &window), "Frame1");
    remoteFolderLabel = valueLabel(*remoteGroup, "lblFTP");
    remoteList = named(new QListWidget(remoteGroup), "lstServer");
    remoteList->setSelectionMode(QAbstractItemView::ExtendedSelection);
    filterEdit = named(new QLineEdit(remoteGroup), "txtFilter");
    refreshButton = button(*remoteGroup, "cmdRefresh", QStringLiteral("REFRESH"));
    showButton = button(*remoteGroup, "cmdOpen", QStringLiteral("SHOW/OPEN"));
    deleteButton = button(*remoteGroup, "cmdDelete", QStringLiteral("DELETE"));
    renameButton = button(*remoteGroup, "cmdRename", QStringLiteral("RENAME"));
    makeFolderButton = button(*remoteGroup, "cmdMakeDir", QStringLiteral("MAKE DIR"));

    auto* buttons = new QHBoxLayout;
    for (QPushButton* command :
         {refreshButton, showButton, deleteButton, renameButton, makeFolderButton})
        buttons->addWidget(command);
    auto* column = new QVBoxLayout(remoteGroup);
    column->addWidget(remoteFolderLabel);
    column->addWidget(remoteList, 1);
    column->addWidget(filterEdit);
    column->addLayout(buttons);
}

void FtpWindowUi::createLocalFrame(QWidget& window)
{
    localGroup = named(
        new QGroupBox(QStringLiteral("Lokaler Datenträger und Verzeichnisse"), &window), "Frame2");
    driveList = named(new DriveList(localGroup), "DriveLokal");
    folderList = named(new FolderList(localGroup), "DirLokal");
    fileList = named(new FileList(localGroup), "fileListLokal");
    localPathLabel = valueLabel(*localGroup, "lblLokal");

    auto* column = new QVBoxLayout(localGroup);
    column->addWidget(driveList);
    column->addWidget(folderList, 2);
    column->addWidget(fileList, 3);
    column->addWidget(localPathLabel);
}

void FtpWindowUi::createBottomRow(QWidget& window)
{
    uploadButton = button(window, "cmdUpload", QStringLiteral("<<------ UP"));
    downloadButton = button(window, "cmdDownload", QStringLiteral("DOWN -->>"));
    statusLabel = valueLabel(window, "lblStatus");
    statusLabel->setWordWrap(true);
    securityLabel = valueLabel(window, "lblSicherheit");
    progressBar = named(new QProgressBar(&window), "prgTransfer");
    QSizePolicy keepSpace = progressBar->sizePolicy();
    keepSpace.setRetainSizeWhenHidden(true);
    progressBar->setSizePolicy(keepSpace);
    exitButton = button(window, "cmdExit", QStringLiteral("EXIT"));
}

void FtpWindowUi::layOut(QWidget& window)
{
    auto* transfers = new QVBoxLayout;
    transfers->addStretch();
    transfers->addWidget(uploadButton);
    transfers->addWidget(downloadButton);
    transfers->addStretch();

    auto* panes = new QHBoxLayout;
    panes->addWidget(remoteGroup, 3);
    panes->addLayout(transfers);
    panes->addWidget(localGroup, 2);

    auto* bottom = new QHBoxLayout;
    auto* status = new QVBoxLayout;
    auto* statusLine = new QHBoxLayout;
    statusLine->addWidget(statusLabel, 1);
    statusLine->addWidget(securityLabel);
    status->addLayout(statusLine);
    status->addWidget(progressBar);
    bottom->addLayout(status, 1);
    bottom->addWidget(exitButton, 0, Qt::AlignBottom);

    auto* page = new QVBoxLayout(&window);
    page->addWidget(connectionGroup);
    page->addLayout(panes, 1);
    page->addLayout(bottom);
}

void FtpWindowUi::resetStartValues()
{
    serverEdit->clear();
    userEdit->clear();
    passwordEdit->clear();
    filterEdit->setText(QStringLiteral("*.*"));
    remoteList->clear();
    for (QLabel* text : {remoteFolderLabel, statusLabel, securityLabel, changedValue, sizeValue,
                         attributesValue, localPathLabel}) {
        text->clear();
        text->setAccessibleDescription(QString());
    }
    asciiOption->setChecked(true);
    passiveCheck->setChecked(true);
    passiveCheck->setEnabled(false);
    progressBar->hide();
}

void FtpWindowUi::setConnected(bool connected)
{
    connectButton->setEnabled(!connected);
    disconnectButton->setEnabled(connected);
    for (QPushButton* command : {downloadButton, uploadButton, refreshButton, showButton,
                                 deleteButton, renameButton, makeFolderButton})
        command->setEnabled(connected);
    passiveCheck->setEnabled(false);
}

void FtpWindowUi::setCallRunning()
{
    // Enabled first, so that the focus of a disabled CONNECT moves on to it.
    disconnectButton->setEnabled(true);
    for (QPushButton* command : {connectButton, downloadButton, uploadButton, refreshButton,
                                 showButton, deleteButton, renameButton, makeFolderButton})
        command->setEnabled(false);
}

} // namespace vantiro
