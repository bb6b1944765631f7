#include "qt/main/MainWindowUi.h"

#include "core/generator/MakerAddress.h"
#include "qt/main/WidgetText.h"
#include "qt/platform/AccessibleControls.h"
#include "qt/platform/KeyboardAccess.h"
#include "qt/platform/LocalPath.h"
#include "qt/platform/NamedComboBox.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include <algorithm>
#include <utility>

namespace vantiro {
namespace {

template <typename Widget> Widget* named(Widget* widget, const char* name)
{
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}

QLabel* label(QWidget& parent, const char* name, const QString& text,
              Qt::Alignment alignment = Qt::AlignLeft | Qt::AlignVCenter)
{
    auto* created = named(new QLabel(&parent), name);
    // "<TITLE>" and the like must show as typed, not be taken for markup.
    created->setTextFormat(Qt::PlainText);
    created->setText(text);
    created->setAlignment(alignment);
    return created;
}

QLabel* fieldLabel(QWidget& parent, const char* name, const QString& text)
{
    return label(parent, name, text, Qt::AlignRight | Qt::AlignVCenter);
}

QPushButton* button(QWidget& parent, const char* name, const QString& caption)
{
    return named(new QPushButton(caption, &parent), name);
}

QComboBox* comboBox(QWidget& parent, const char* name, const std::vector<std::string>& choices,
                    bool editable)
{
    auto* combo = named(new NamedComboBox(&parent), name);
    for (const std::string& choice : choices)
        combo->addItem(WidgetText::fromCp1252(choice));
    combo->setEditable(editable);
    combo->setInsertPolicy(QComboBox::NoInsert);
    return combo;
}

QLineEdit* lineEdit(QWidget& parent, const char* name, int maxLength = 32767)
{
    auto* edit = named(new QLineEdit(&parent), name);
    edit->setMaxLength(maxLength);
    // A longer text the program put in raised the limit; the user's first edit lowers it again,
    // as far as it can without cutting what is shown.
    QObject::connect(edit, &QLineEdit::textEdited, edit, [edit, maxLength](const QString& text) {
        if (edit->maxLength() > maxLength)
            edit->setMaxLength(std::max<int>(maxLength, static_cast<int>(text.size())));
    });
    return edit;
}

QPlainTextEdit* textBox(QWidget& parent, const char* name)
{
    auto* edit = named(new QPlainTextEdit(&parent), name);
    edit->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    return edit;
}

void setTextColor(QWidget* widget, const QColor& color, bool bold)
{
    QPalette palette = widget->palette();
    palette.setColor(QPalette::WindowText, color);
    widget->setPalette(palette);
    QFont font = widget->font();
    font.setBold(bold);
    widget->setFont(font);
}

void makeBold(QWidget* widget)
{
    QFont font = widget->font();
    font.setBold(true);
    widget->setFont(font);
}

QHBoxLayout* row(std::initializer_list<QWidget*> widgets)
{
    auto* layout = new QHBoxLayout;
    layout->setSpacing(4);
    for (QWidget* widget : widgets)
        layout->addWidget(widget);
    return layout;
}

// A limit cuts typing and pasting; a value the program puts in (such as a long title from the
// sample template) is shown whole.
void setLimitedText(QLineEdit* edit, const QString& text, int limit)
{
    if (edit->text() == text)
        return;
    edit->setMaxLength(std::max<int>(limit, static_cast<int>(text.size())));
    edit->setText(text);
}

void setText(QLineEdit* edit, const QString& text)
{
    if (edit->text() != text)
        edit->setText(text);
}

void setText(QComboBox* combo, const QString& text)
{
    if (combo->currentText() != text)
        combo->setCurrentText(text);
}

void setText(QPlainTextEdit* edit, const std::string& text)
{
    if (WidgetText::multiLineToCp1252(*edit) != text)
        edit->setPlainText(WidgetText::multiLineFromCp1252(text));
}

constexpr int titleLimit = 80;
constexpr int descriptionLimit = 255;
constexpr int authorLimit = 64;

} // namespace

MainWindowUi::MainWindowUi(QWidget& window)
{
    AccessibleControls::install();
    createControls(window);
    layOut(window);
    setUpKeyboard();
}

void MainWindowUi::setUpKeyboard()
{
    const std::initializer_list<std::pair<QLabel*, QWidget*>> labelled = {
        {doctypeLabel, doctypeBox},
        {titleLabel, titleEdit},
        {robotsLabel, robotsBox},
        {descriptionLabel, descriptionEdit},
        {authorLabel, authorEdit},
        {pragmaLabel, pragmaBox},
        {revisitLabel, revisitBox},
        {cachingLabel, cachingBox},
        {keywordFileLabel, keywordFileEdit},
        {pageCountLabel, pageCountEdit}};
    for (const auto& [label, field] : labelled)
        KeyboardAccess::nameByLabel(*label, *field);
    // Typing goes to the line edit inside, which a screen reader announces on its own.
    for (QComboBox* combo : {robotsBox, pragmaBox, revisitBox, cachingBox})
        combo->lineEdit()->setAccessibleName(combo->accessibleName());
    revisitBox->setAccessibleDescription(revisitUnitLabel->text());
    KeyboardAccess::name(*scriptingEdit, scriptingGroup->title());
    KeyboardAccess::name(*bodyEdit, bodyGroup->title());

    KeyboardAccess::makeMultiLineField(*scriptingEdit);
    KeyboardAccess::makeMultiLineField(*bodyEdit);
    KeyboardAccess::makeOptionGroup(*namingGroup);

    // Region by region, as the window reads from top left to bottom right.
    KeyboardAccess::setTabOrder({doctypeBox,           titleEdit,          robotsBox,
                                 descriptionEdit,      authorEdit,         pragmaBox,
                                 revisitBox,           cachingBox,         scriptingEdit,
                                 creditLabel,          keywordFileEdit,    loadKeywordsButton,
                                 createKeywordsButton, bodyEdit,           backgroundColorButton,
                                 fontButton,           textColorButton,    linkColorButton,
                                 sampleCodeButton,     keywordNamesOption, numberedNamesOption,
                                 imageLinksCheck,      pageCountEdit,      uploadButton,
                                 generateButton,       previewButton,      loadTemplateButton,
                                 saveTemplateButton,   resetButton,        quitButton});
}

void MainWindowUi::createControls(QWidget& window)
{
    headGroup = named(new QGroupBox(QStringLiteral("Details im Seitenkopf und Parameter für "
                                                   "Suchmaschinen - Indizierung"),
                                    &window),
                      "Frame1");
    doctypeLabel = fieldLabel(window, "Label1", QStringLiteral("DOCTYPE"));
    doctypeBox = comboBox(window, "cmbDoctype", doctypeChoices(), false);
    titleLabel = fieldLabel(window, "Label2", QStringLiteral("<TITLE>"));
    titleEdit = lineEdit(window, "txtTitle", titleLimit);
    titleEndLabel = label(window, "Label3", QStringLiteral("</TITLE>"));
    robotsLabel = fieldLabel(window, "Label4", QStringLiteral("ROBOTS"));
    robotsBox = comboBox(window, "cmbRobots", robotsChoices(), true);
    descriptionLabel = fieldLabel(window, "Label5", QStringLiteral("DESCRIPTION"));
    descriptionEdit = lineEdit(window, "txtDescription", descriptionLimit);
    authorLabel = fieldLabel(window, "Label6", QStringLiteral("AUTHOR"));
    authorEdit = lineEdit(window, "txtAuthor", authorLimit);
    pragmaLabel = fieldLabel(window, "Label7", QStringLiteral("PRAGMA"));
    pragmaBox = comboBox(window, "cmbPragma", pragmaChoices(), true);
    revisitLabel = fieldLabel(window, "Label8", QStringLiteral("REVISIT-AFTER"));
    revisitBox = comboBox(window, "cmbRevisit", revisitChoices(), true);
    revisitUnitLabel = label(window, "Label15", QStringLiteral("days"));
    cachingLabel = fieldLabel(window, "Label9", QStringLiteral("CACHE"));
    cachingBox = comboBox(window, "cmbCaching", cachingChoices(), true);

    scriptingGroup =
        named(new QGroupBox(QStringLiteral("Scripting und Style-Sheet (CSS)-Definitionen im "
                                           "<HEAD></HEAD>-Container"),
                            &window),
              "Frame2");
    scriptingEdit = textBox(window, "txtScripting");

    creditLabel = label(window, "Label18",
                        QStringLiteral("V T R 3.0 -  by ") + QString::fromLatin1(makerAddress));
    setTextColor(creditLabel, Qt::blue, true);
    creditLabel->setCursor(Qt::PointingHandCursor);
    creditLabel->setFocusPolicy(Qt::TabFocus);
    creditLabel->setAccessibleDescription(QStringLiteral("Öffnet die Homepage im Browser"));
    keywordFileLabel = fieldLabel(window, "Label10", QStringLiteral("Keyword-Datei"));
    keywordFileEdit = lineEdit(window, "txtKeyword");
    keywordFileEdit->setReadOnly(true);
    loadKeywordsButton = button(window, "cmdLadeKeyword", QStringLiteral("Laden"));
    createKeywordsButton = button(window, "cmdCreateKeyword", QStringLiteral("Erstellen"));

    bodyGroup = named(new QGroupBox(QStringLiteral("<BODY> - Informationen"), &window), "Frame3");
    bodyEdit = textBox(window, "txtBody");

    backgroundColorButton =
        button(window, "cmdSeitenhintergrund", QStringLiteral("Seitenhintergrund*"));
    fontButton = button(window, "cmdSchriftart", QStringLiteral("Schriftart*"));
    textColorButton = button(window, "cmdSchriftfarbe", QStringLiteral("Schriftfarbe*"));
    linkColorButton = button(window, "cmdLinkfarbe", QStringLiteral("Linkfarbe*"));
    sampleCodeButton = button(window, "cmdBeispielcode", QStringLiteral("Beispiel - Code"));
    styleWarningLabel =
        label(window, "Label14",
              QStringLiteral("[ *ACHTUNG - Überschreibt eigene Styles und Deklarationen ]"));
    helpHintLabel =
        label(window, "Label11", QStringLiteral("Drücken Sie F1, um die Online-Hilfe zu öffnen."),
              Qt::AlignRight | Qt::AlignVCenter);
    setTextColor(helpHintLabel, QColor(0x00, 0x80, 0x00), false);

    outputGroup = named(new QGroupBox(QStringLiteral("Ausgabeoptionen"), &window), "Frame4");
    keywordNamesOption =
        named(new QRadioButton(QStringLiteral("Keywords als Dateinamen verwenden"), &window),
              "optKeywords");
    numberedNamesOption =
        named(new QRadioButton(QStringLiteral("Dateien numerieren"), &window), "optDateiname");
    namingGroup = new QButtonGroup(&window);
    namingGroup->addButton(keywordNamesOption);
    namingGroup->addButton(numberedNamesOption);
    numberedHintLabel = label(window, "Label16", QStringLiteral("(Datei1, Datei2...)"));
    imageLinksCheck =
        named(new QCheckBox(QStringLiteral("Ranking durch verlinkte Images optimieren"), &window),
              "chkImageLinks");
    pageCountLabel = fieldLabel(window, "Label17", QStringLiteral("Wieviele Dateien erzeugen?"));
    pageCountEdit = lineEdit(window, "txtAnzahlSeiten");

    uploadGroup = named(
        new QGroupBox(QStringLiteral("Dateien auf den Server überspielen"), &window), "Frame5");
    uploadHintLabel =
        label(window, "Label19",
              QStringLiteral("Für die Nutzung dieser erweiterten Funktion muss der Internet "
                             "Explorer ab Version 4 installiert und ein Proxy-Server "
                             "deaktiviert sein. Anderenfalls verwenden Sie zum UpLoad der "
                             "Doorpages bitte Ihren Standard-FTP-Client, z.B. WS_FTP etc."));
    uploadHintLabel->setWordWrap(true);
    setTextColor(uploadHintLabel, Qt::blue, false);
    // The long hint in a smaller type leaves the height to the body template.
    QFont hint = uploadHintLabel->font();
    hint.setPointSizeF(hint.pointSizeF() * 0.85);
    uploadHintLabel->setFont(hint);
    uploadButton = button(window, "cmdUpload", QStringLiteral("SERVER UPLOAD"));

    generateButton = button(window, "cmdErstellen", QStringLiteral("ERSTELLEN"));
    previewButton = button(window, "cmdVorschau", QStringLiteral("VORSCHAU"));
    loadTemplateButton = button(window, "cmdVorlageLaden", QStringLiteral("EIGENE VORLAGE LADEN"));
    saveTemplateButton =
        button(window, "cmdVorlageSpeichern", QStringLiteral("ALS EIGENE VORLAGE SPEICHERN"));
    separatorLine = named(new QFrame(&window), "Line1");
    separatorLine->setFrameShape(QFrame::HLine);
    separatorLine->setFrameShadow(QFrame::Sunken);
    resetButton = button(window, "cmbReset", QStringLiteral("RESET"));
    quitButton = button(window, "cmdEnde", QStringLiteral("Ende"));
    for (QWidget* widget : {generateButton, previewButton, loadTemplateButton, saveTemplateButton,
                            resetButton, quitButton})
        makeBold(widget);
}

void MainWindowUi::layOut(QWidget& window)
{
    auto* head = new QGridLayout(headGroup);
    head->setContentsMargins(6, 2, 6, 4);
    head->setVerticalSpacing(3);
    head->setHorizontalSpacing(4);
    head->addWidget(doctypeLabel, 0, 0);
    head->addWidget(doctypeBox, 0, 1);
    head->addWidget(titleLabel, 1, 0);
    head->addLayout(row({titleEdit, titleEndLabel, robotsLabel, robotsBox}), 1, 1);
    head->addWidget(descriptionLabel, 2, 0);
    head->addWidget(descriptionEdit, 2, 1);
    head->addWidget(authorLabel, 3, 0);
    head->addLayout(row({authorEdit, pragmaLabel, pragmaBox, revisitLabel, revisitBox,
                         revisitUnitLabel, cachingLabel, cachingBox}),
                    3, 1);
    // The long XHTML entries would otherwise widen the whole window.
    doctypeBox->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    doctypeBox->setMinimumContentsLength(40);
    robotsBox->setMinimumWidth(170);
    revisitBox->setFixedWidth(60);
    for (QComboBox* combo : {pragmaBox, cachingBox})
        combo->setFixedWidth(100);
    robotsLabel->setMinimumWidth(60);

    auto* scripting = new QVBoxLayout(scriptingGroup);
    scripting->setContentsMargins(6, 2, 6, 4);
    scripting->addWidget(scriptingEdit);
    // Room for about three lines and a whole scroll bar.
    scriptingEdit->setFixedHeight(scriptingEdit->minimumSizeHint().height());

    auto* keywordRow = row(
        {creditLabel, keywordFileLabel, keywordFileEdit, loadKeywordsButton, createKeywordsButton});
    keywordRow->insertSpacing(1, 16);

    auto* body = new QVBoxLayout(bodyGroup);
    body->setContentsMargins(6, 2, 6, 4);
    body->addWidget(bodyEdit);

    auto* styleButtons = row(
        {backgroundColorButton, fontButton, textColorButton, linkColorButton, sampleCodeButton});
    auto* styleNotes = row({styleWarningLabel, helpHintLabel});

    auto* options = new QGridLayout(outputGroup);
    options->setContentsMargins(6, 2, 6, 4);
    options->setVerticalSpacing(2);
    options->addWidget(keywordNamesOption, 0, 0, 1, 2);
    options->addLayout(row({numberedNamesOption, numberedHintLabel}), 1, 0, 1, 2, Qt::AlignLeft);
    options->addWidget(imageLinksCheck, 2, 0, 1, 2);
    options->addWidget(pageCountLabel, 3, 0);
    options->addWidget(pageCountEdit, 3, 1);
    pageCountEdit->setFixedWidth(60);

    auto* upload = new QVBoxLayout(uploadGroup);
    upload->setContentsMargins(6, 2, 6, 4);
    upload->setSpacing(2);
    upload->addWidget(uploadHintLabel);
    upload->addWidget(uploadButton);
    // A wrapped label asks for its height only once its width is known, which the window's
    // minimum size does not wait for: the narrowest width it may get fixes the height it needs.
    // The frame is at least as wide as its title, so the hint inside its margins may be too.
    const int hintWidth = uploadGroup->fontMetrics().horizontalAdvance(uploadGroup->title()) - 12;
    uploadHintLabel->setMinimumWidth(hintWidth);
    uploadHintLabel->setMinimumHeight(uploadHintLabel->heightForWidth(hintWidth));

    auto* actions = new QVBoxLayout;
    actions->setSpacing(3);
    actions->addLayout(row({generateButton, previewButton}));
    actions->addWidget(loadTemplateButton);
    actions->addWidget(saveTemplateButton);
    actions->addWidget(separatorLine);
    actions->addLayout(row({resetButton, quitButton}));
    actions->addStretch();

    auto* bottom = new QHBoxLayout;
    bottom->setSpacing(6);
    bottom->addWidget(outputGroup);
    bottom->addWidget(uploadGroup, 1);
    bottom->addLayout(actions);

    auto* root = new QVBoxLayout(&window);
    root->setContentsMargins(6, 4, 6, 6);
    root->setSpacing(3);
    root->addWidget(headGroup);
    root->addWidget(scriptingGroup);
    root->addLayout(keywordRow);
    root->addWidget(bodyGroup, 1);
    root->addLayout(styleButtons);
    root->addLayout(styleNotes);
    root->addLayout(bottom);
}

PageSettings MainWindowUi::read(PageSettings base) const
{
    const auto doctype = static_cast<size_t>(std::max(0, doctypeBox->currentIndex()));
    base.doctype = doctype < doctypeChoices().size() ? doctypeChoices()[doctype] : "";
    base.title = WidgetText::toCp1252(titleEdit->text());
    base.robots = WidgetText::toCp1252(robotsBox->currentText());
    base.description = WidgetText::toCp1252(descriptionEdit->text());
    base.author = WidgetText::toCp1252(authorEdit->text());
    base.pragma = WidgetText::toCp1252(pragmaBox->currentText());
    base.revisit = WidgetText::toCp1252(revisitBox->currentText());
    base.caching = WidgetText::toCp1252(cachingBox->currentText());
    base.scripting = WidgetText::multiLineToCp1252(*scriptingEdit);
    base.keywordFile = LocalPath::fromQt(keywordFileEdit->text());
    base.body = WidgetText::multiLineToCp1252(*bodyEdit);
    base.keywordNames = keywordNamesOption->isChecked();
    base.imageLinks = imageLinksCheck->isChecked() ? 1 : 0;
    base.pageCountText = WidgetText::toCp1252(pageCountEdit->text());
    return base;
}

void MainWindowUi::write(const PageSettings& settings)
{
    const auto& doctypes = doctypeChoices();
    const auto doctype = std::find(doctypes.begin(), doctypes.end(), settings.doctype);
    if (doctype != doctypes.end())
        doctypeBox->setCurrentIndex(static_cast<int>(doctype - doctypes.begin()));
    setLimitedText(titleEdit, WidgetText::fromCp1252(settings.title), titleLimit);
    setText(robotsBox, WidgetText::fromCp1252(settings.robots));
    setLimitedText(descriptionEdit, WidgetText::fromCp1252(settings.description), descriptionLimit);
    setLimitedText(authorEdit, WidgetText::fromCp1252(settings.author), authorLimit);
    setText(pragmaBox, WidgetText::fromCp1252(settings.pragma));
    setText(revisitBox, WidgetText::fromCp1252(settings.revisit));
    setText(cachingBox, WidgetText::fromCp1252(settings.caching));
    setText(scriptingEdit, settings.scripting);
    setText(keywordFileEdit, LocalPath::toQt(settings.keywordFile));
    setText(bodyEdit, settings.body);
    (settings.keywordNames ? keywordNamesOption : numberedNamesOption)->setChecked(true);
    imageLinksCheck->setChecked(settings.imageLinks != 0);
    setText(pageCountEdit, WidgetText::fromCp1252(settings.pageCountText));
    for (QPushButton* style : {backgroundColorButton, fontButton, textColorButton, linkColorButton})
        style->setEnabled(!settings.sampleCodeShown);
}

} // namespace vantiro
