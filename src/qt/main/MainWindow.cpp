#include "qt/main/MainWindow.h"

#include "core/files/FileChecks.h"
#include "core/generator/GenerationRun.h"
#include "core/generator/MakerAddress.h"
#include "core/session/StyleActions.h"
#include "core/session/TemplateFiles.h"
#include "core/session/WorkFolders.h"
#include "core/style/BodyStyle.h"
#include "core/style/CssFontFamily.h"
#include "qt/main/BusyCursor.h"
#include "qt/main/KeywordDialog.h"
#include "qt/main/MainWindowUi.h"
#include "qt/main/UploadLauncher.h"
#include "qt/main/WidgetText.h"
#include "qt/main/WindowRunReporter.h"
#include "qt/platform/FileDialogs.h"
#include "qt/platform/LocalPath.h"
#include "qt/platform/MessageBoxes.h"
#include "qt/platform/ScreenFit.h"
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

MainWindow::MainWindow(ProgramPaths paths, WindowServices services, QWidget* parent)
    : QWidget(parent), paths_(std::move(paths)), services_(services),
      ui_(std::make_unique<MainWindowUi>(*this))
{
    setObjectName(QStringLiteral("frmMain"));
    setWindowTitle(QStringLiteral("Vantiro 3.0 - Doorpage-Generator von ") +
                   QString::fromLatin1(makerAddress));
    ScreenFit::fit(*this, QSize(793, 563));
    applySettings(PageSettings::startValues());
    WorkFolders::create(paths_.programFolder);
    connectButtons();
    // Seeing key presses before the focused control is what lets F1 work everywhere.
    qApp->installEventFilter(this);
    ui_->creditLabel->installEventFilter(this);
}

MainWindow::~MainWindow()
{
    qApp->removeEventFilter(this);
}

PageSettings MainWindow::settings() const
{
    return ui_->read(state_);
}

void MainWindow::applySettings(const PageSettings& settings)
{
    state_ = settings;
    ui_->write(settings);
}

void MainWindow::connectButtons()
{
    const auto on = [this](QPushButton* button, void (MainWindow::*handler)()) {
        connect(button, &QPushButton::clicked, this, handler);
    };
    on(ui_->generateButton, &MainWindow::generatePages);
    on(ui_->previewButton, &MainWindow::showPreview);
    on(ui_->loadTemplateButton, &MainWindow::loadTemplate);
    on(ui_->saveTemplateButton, &MainWindow::saveTemplate);
    on(ui_->resetButton, &MainWindow::resetWindow);
    on(ui_->uploadButton, &MainWindow::openUploadWindow);
    on(ui_->loadKeywordsButton, &MainWindow::chooseKeywordFile);
    on(ui_->createKeywordsButton, &MainWindow::createKeywordFile);
    on(ui_->fontButton, &MainWindow::chooseFont);
    on(ui_->sampleCodeButton, &MainWindow::insertSampleTemplate);
    connect(ui_->quitButton, &QPushButton::clicked, this, &QWidget::close);
    connect(ui_->backgroundColorButton, &QPushButton::clicked, this,
            [this] { chooseColor(BodyColor::background); });
    connect(ui_->textColorButton, &QPushButton::clicked, this,
            [this] { chooseColor(BodyColor::text); });
    connect(ui_->linkColorButton, &QPushButton::clicked, this,
            [this] { chooseColor(BodyColor::link); });
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyPress && static_cast<QKeyEvent*>(event)->key() == Qt::Key_F1) {
        const auto* widget = qobject_cast<QWidget*>(watched);
        if (widget && widget->window() == this) {
            openHelp();
            return true;
        }
    }
    if (watched == ui_->creditLabel)
        return creditLineEvent(event) || QWidget::eventFilter(watched, event);
    return QWidget::eventFilter(watched, event);
}

void MainWindow::generatePages()
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

QWidget* MainWindow::focusWidget(FocusTarget target) const
{
    switch (target) {
    case FocusTarget::keywordFile:
        return ui_->loadKeywordsButton;
    case FocusTarget::pageCount:
        return ui_->pageCountEdit;
    case FocusTarget::revisit:
        return ui_->revisitBox;
    }
    return nullptr;
}

void MainWindow::showPreview()
{
    const QString page =
        LocalPath::toQt(WorkFolders::path(paths_.programFolder, WorkFolders::doorpages)) +
        QStringLiteral("/vorschau.htm");
    if (fileExists(LocalPath::fromQt(page))) {
        openOrExplain(page, QStringLiteral("Die Vorschauseite"));
        return;
    }
    services_.boxes.message(QStringLiteral("Programmfehler"),
                            QStringLiteral("Vorschaudatei nicht gefunden. Erstellen Sie zunächst "
                                           "zum Test einige Doorpages, um sich eine Vorschau "
                                           "anzeigen lassen zu können."),
                            warning);
}

void MainWindow::openHelp()
{
    const QString page = LocalPath::toQt(ProgramFolder::helpPage(paths_));
    openOrExplain(page.isEmpty() ? QString::fromLatin1(helpAddress) : page,
                  QStringLiteral("Die Hilfeseite"));
}

// The credit line is a link: a click, or Enter or Space while it has the focus, opens the
// maker's page. A label draws no focus frame, so the focus shows as an underline.
bool MainWindow::creditLineEvent(QEvent* event)
{
    QLabel& credit = *ui_->creditLabel;
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

void MainWindow::openHomePage()
{
    openOrExplain(QString::fromLatin1(makerAddress), QStringLiteral("Die Homepage"));
}

void MainWindow::openOrExplain(const QString& target, const QString& what)
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

void MainWindow::saveTemplate()
{
    BusyCursor busy;
    const TemplateFiles::SaveResult saved =
        TemplateFiles::save(paths_.programFolder, settings().body);
    if (!saved.path.empty())
        state_.templateFile = saved.path;
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

void MainWindow::loadTemplate()
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
    loaded.body = *body;
    applySettings(loaded);
}

void MainWindow::resetWindow()
{
    PageSettings reset = settings();
    reset.reset();
    applySettings(reset);
}

void MainWindow::chooseKeywordFile()
{
    const std::string folder = WorkFolders::path(paths_.programFolder, WorkFolders::keywordfile);
    if (!folderExists(folder))
        createFolder(folder);
    const QString file = services_.files.openFile(LocalPath::toQt(folder) + '/',
                                                  QStringLiteral("Keyword-Dateien (*.vrk)"));
    if (!file.isEmpty())
        ui_->keywordFileEdit->setText(file);
}

void MainWindow::createKeywordFile()
{
    KeywordDialog dialog(services_.boxes, paths_.programFolder, this);
    if (dialog.exec() == QDialog::Accepted)
        ui_->keywordFileEdit->setText(dialog.writtenFile());
}

void MainWindow::chooseColor(BodyColor which)
{
    if (state_.sampleCodeShown)
        return;
    const std::optional<std::uint32_t> color = services_.styles.chooseColor();
    if (!color)
        return;
    PageSettings styled = settings();
    StyleActions::applyColor(styled, which, colorToHtml(static_cast<std::int32_t>(*color)));
    applySettings(styled);
}

void MainWindow::chooseFont()
{
    if (state_.sampleCodeShown)
        return;
    const std::optional<QString> font = services_.styles.chooseFont();
    if (!font)
        return;
    PageSettings styled = settings();
    // The pages get the family as CSS names it, not as the font dialog lists it.
    StyleActions::applyFont(styled, cssFontFamily(WidgetText::toCp1252(*font)));
    applySettings(styled);
}

void MainWindow::insertSampleTemplate()
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

void MainWindow::openUploadWindow()
{
    UploadLauncher::open(services_.boxes, LocalPath::toQt(paths_.programFolder), this);
}

} // namespace vantiro
