#include "qt/main/frmMain.h"

#include "core/generator/GenerationRun.h"
#include "core/generator/MakerAddress.h"
#include "core/generator/modGeneral.h"
#include "core/session/StyleActions.h"
#include "core/session/TemplateFiles.h"
#include "core/session/WorkFolders.h"
#include "core/style/BodyStyle.h"
#include "core/style/CssFontFamily.h"
#include "qt/main/BusyCursor.h"
#include "qt/main/MainWindowUi.h"
#include "qt/main/UploadLauncher.h"
#include "qt/main/WidgetText.h"
#include "qt/main/WindowRunReporter.h"
#include "qt/main/frmKeywords.h"
#include "qt/platform/FileDialogs.h"
#include "qt/platform/LocalPath.h"
#include "qt/platform/MessageBoxes.h"
#include "qt/platform/Shell.h"
#include "qt/platform/StyleDialogs.h"

#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>

namespace vantiro {
namespace {

constexpr auto warning = MessageBoxes::Icon::Exclamation;

} // namespace

frmMain::frmMain(ProgramPaths paths, WindowServices services, QWidget* parent)
    : QWidget(parent), paths_(std::move(paths)), services_(services),
      ui_(std::make_unique<MainWindowUi>(*this))
{
    setObjectName(QStringLiteral("frmMain"));
    setWindowTitle(QStringLiteral("Vantiro 3.0 - Doorpage-Generator von ") +
                   QString::fromLatin1(makerAddress));
    resize(793, 563);
    applySettings(PageSettings::startValues());
    WorkFolders::create(paths_.programFolder);
    connectButtons();
    // Seeing key presses before the focused control is what lets F1 work everywhere.
    qApp->installEventFilter(this);
    ui_->Label18->installEventFilter(this);
}

frmMain::~frmMain()
{
    qApp->removeEventFilter(this);
}

PageSettings frmMain::settings() const
{
    return ui_->read(state_);
}

void frmMain::applySettings(const PageSettings& settings)
{
    state_ = settings;
    ui_->write(settings);
}

void frmMain::connectButtons()
{
    const auto on = [this](QPushButton* button, void (frmMain::*handler)()) {
        connect(button, &QPushButton::clicked, this, handler);
    };
    on(ui_->cmdErstellen, &frmMain::generatePages);
    on(ui_->cmdVorschau, &frmMain::showPreview);
    on(ui_->cmdVorlageLaden, &frmMain::loadTemplate);
    on(ui_->cmdVorlageSpeichern, &frmMain::saveTemplate);
    on(ui_->cmbReset, &frmMain::resetWindow);
    on(ui_->cmdUpload, &frmMain::openUploadWindow);
    on(ui_->cmdLadeKeyword, &frmMain::chooseKeywordFile);
    on(ui_->cmdCreateKeyword, &frmMain::createKeywordFile);
    on(ui_->cmdSchriftart, &frmMain::chooseFont);
    on(ui_->cmdBeispielcode, &frmMain::insertSampleTemplate);
    connect(ui_->cmdEnde, &QPushButton::clicked, this, &QWidget::close);
    connect(ui_->cmdSeitenhintergrund, &QPushButton::clicked, this,
            [this] { chooseColor(BodyColor::Seitenhintergrund); });
    connect(ui_->cmdSchriftfarbe, &QPushButton::clicked, this,
            [this] { chooseColor(BodyColor::Schriftfarbe); });
    connect(ui_->cmdLinkfarbe, &QPushButton::clicked, this,
            [this] { chooseColor(BodyColor::Linkfarbe); });
}

bool frmMain::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyPress && static_cast<QKeyEvent*>(event)->key() == Qt::Key_F1) {
        const auto* widget = qobject_cast<QWidget*>(watched);
        if (widget && widget->window() == this) {
            openHelp();
            return true;
        }
    }
    if (watched == ui_->Label18)
        return creditLineEvent(event) || QWidget::eventFilter(watched, event);
    return QWidget::eventFilter(watched, event);
}

void frmMain::generatePages()
{
    PageSettings run = settings();
    // The body with its colours shows while the pages are written, not only after the
    // closing message.
    WindowRunReporter reporter(
        *this, services_.boxes, [this](FocusTarget target) { return focusWidget(target); },
        [this, &run] { applySettings(run); });
    GenerationRun generation(run, paths_.programFolder, services_.random, reporter);
    generation.setPixelFile(ProgramFolder::pixelFile(paths_));
    generation.run();
    applySettings(run);
}

QWidget* frmMain::focusWidget(FocusTarget target) const
{
    switch (target) {
    case FocusTarget::cmdLadeKeyword:
        return ui_->cmdLadeKeyword;
    case FocusTarget::txtAnzahlSeiten:
        return ui_->txtAnzahlSeiten;
    case FocusTarget::cmbRevisit:
        return ui_->cmbRevisit;
    }
    return nullptr;
}

void frmMain::showPreview()
{
    const QString page =
        LocalPath::toQt(WorkFolders::path(paths_.programFolder, WorkFolders::doorpages)) +
        QStringLiteral("/vorschau.htm");
    if (FileExists(LocalPath::fromQt(page))) {
        openOrExplain(page, QStringLiteral("Die Vorschauseite"));
        return;
    }
    services_.boxes.message(QStringLiteral("Programmfehler"),
                            QStringLiteral("Vorschaudatei nicht gefunden. Erstellen Sie zunächst "
                                           "zum Test einige Doorpages, um sich eine Vorschau "
                                           "anzeigen lassen zu können."),
                            warning);
}

void frmMain::openHelp()
{
    const QString page = LocalPath::toQt(ProgramFolder::helpPage(paths_));
    openOrExplain(page.isEmpty() ? QString::fromLatin1(helpAddress) : page,
                  QStringLiteral("Die Hilfeseite"));
}

// The credit line is a link: a click, or Enter or Space while it has the focus, opens the
// maker's page. A label draws no focus frame, so the focus shows as an underline.
bool frmMain::creditLineEvent(QEvent* event)
{
    QLabel& credit = *ui_->Label18;
    switch (event->type()) {
    case QEvent::MouseButtonRelease:
        if (static_cast<QMouseEvent*>(event)->button() != Qt::LeftButton)
            return false;
        openHomePage();
        return true;
    case QEvent::KeyPress:
        switch (static_cast<QKeyEvent*>(event)->key()) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
        case Qt::Key_Space:
            openHomePage();
            return true;
        default:
            return false;
        }
    case QEvent::FocusIn:
    case QEvent::FocusOut: {
        QFont font = credit.font();
        font.setUnderline(event->type() == QEvent::FocusIn);
        credit.setFont(font);
        return false;
    }
    default:
        return false;
    }
}

void frmMain::openHomePage()
{
    openOrExplain(QString::fromLatin1(makerAddress), QStringLiteral("Die Homepage"));
}

void frmMain::openOrExplain(const QString& target, const QString& what)
{
    if (services_.shell.open(target))
        return;
    services_.boxes.message(
        QStringLiteral("Öffnen nicht möglich"),
        QStringLiteral("%1 konnte nicht geöffnet werden:\n%2\n\nVersucht wurde, sie mit dem "
                       "Browser zu öffnen, den die Arbeitsumgebung für solche Seiten vorsieht "
                       "(xdg-open). Es ließ sich kein Programm dafür starten. Richten Sie einen "
                       "Standard-Browser ein oder öffnen Sie die Seite von Hand.")
            .arg(what, target),
        warning);
}

void frmMain::saveTemplate()
{
    BusyCursor busy;
    const TemplateFiles::SaveResult saved =
        TemplateFiles::save(paths_.programFolder, settings().txtBody);
    if (!saved.path.empty())
        state_.VorlagenDatei = saved.path;
    busy.hide();

    if (saved.status == TemplateFiles::SaveStatus::NoFreeNumber)
        services_.boxes.message(
            QStringLiteral("Keine Vorlagennummer frei"),
            QStringLiteral("Alle Vorlagennummern von 1 bis %1 sind belegt. Löschen Sie nicht "
                           "mehr benötigte Vorlagen im Ordner vorlagen und speichern Sie erneut.")
                .arg(TemplateFiles::highestNumber),
            warning);
    else if (saved.status == TemplateFiles::SaveStatus::WriteFailed)
        services_.boxes.message(
            QStringLiteral("Vorlage nicht gespeichert"),
            QStringLiteral("Die Vorlage konnte nicht in die Datei %1 geschrieben werden. Prüfen "
                           "Sie, ob der Ordner vorlagen beschreibbar ist.")
                .arg(LocalPath::toQt(saved.path)),
            warning);
}

void frmMain::loadTemplate()
{
    if (!TemplateFiles::anyExists(paths_.programFolder)) {
        services_.boxes.message(QStringLiteral("Keine Vorlagen verfügbar"),
                                QStringLiteral("Vorlagen müssen erst erstellt werden. Es wurden "
                                               "keine Vorlagen gefunden."),
                                warning);
        return;
    }
    const QString file = services_.files.openFile(
        LocalPath::toQt(WorkFolders::path(paths_.programFolder, WorkFolders::vorlagen)) + '/',
        QStringLiteral("VTR-Vorlagen (*.vrv)"));
    if (file.isEmpty())
        return;

    BusyCursor busy;
    const std::optional<std::string> body = TemplateFiles::load(LocalPath::fromQt(file));
    busy.hide();
    if (!body) {
        services_.boxes.message(QStringLiteral("Vorlage nicht lesbar"),
                                QStringLiteral("Die Datei %1 konnte nicht gelesen werden. Die "
                                               "<BODY> - Informationen bleiben unverändert.")
                                    .arg(file),
                                warning);
        return;
    }
    PageSettings loaded = settings();
    loaded.txtBody = *body;
    applySettings(loaded);
}

void frmMain::resetWindow()
{
    PageSettings reset = settings();
    reset.reset();
    applySettings(reset);
}

void frmMain::chooseKeywordFile()
{
    const std::string folder = WorkFolders::path(paths_.programFolder, WorkFolders::keywordfile);
    if (!FolderExists(folder))
        CreateFolder(folder);
    const QString file = services_.files.openFile(LocalPath::toQt(folder) + '/',
                                                  QStringLiteral("Keyword-Dateien (*.vrk)"));
    if (!file.isEmpty())
        ui_->txtKeyword->setText(file);
}

void frmMain::createKeywordFile()
{
    frmKeywords dialog(services_.boxes, paths_.programFolder, this);
    if (dialog.exec() == QDialog::Accepted)
        ui_->txtKeyword->setText(dialog.writtenFile());
}

void frmMain::chooseColor(BodyColor which)
{
    if (state_.Beispielcode)
        return;
    const std::optional<std::uint32_t> color = services_.styles.chooseColor();
    if (!color)
        return;
    PageSettings styled = settings();
    StyleActions::applyColor(styled, which, ColorToHtml(static_cast<std::int32_t>(*color)));
    applySettings(styled);
}

void frmMain::chooseFont()
{
    if (state_.Beispielcode)
        return;
    const std::optional<QString> font = services_.styles.chooseFont();
    if (!font)
        return;
    PageSettings styled = settings();
    // The pages get the family as CSS names it, not as the font dialog lists it.
    StyleActions::applyFont(styled, CssFontFamily(WidgetText::toCp1252(*font)));
    applySettings(styled);
}

void frmMain::insertSampleTemplate()
{
    PageSettings sample = settings();
    StyleActions::beginSample(sample);
    applySettings(sample);

    MessageBoxes& boxes = services_.boxes;
    const QString title =
        boxes
            .input(QStringLiteral("Titel Ihrer Seite"),
                   QStringLiteral("Wie lautet der Titel Ihrer Seite (max. 64 Zeichen) ?"), {})
            .value_or(QString());
    const QString address =
        boxes
            .input(QStringLiteral("Adresse Ihrer Seite"),
                   QStringLiteral("Wie lautet die Adresse (URL) Ihrer Seite (mit http://) ?"),
                   QStringLiteral("http://"))
            .value_or(QString());

    sample = settings();
    StyleActions::finishSample(sample, WidgetText::toCp1252(title), WidgetText::toCp1252(address));
    applySettings(sample);
}

void frmMain::openUploadWindow()
{
    UploadLauncher::open(services_.boxes, LocalPath::toQt(paths_.programFolder), this);
}

} // namespace vantiro
