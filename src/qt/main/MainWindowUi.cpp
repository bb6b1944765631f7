#include "qt/main/MainWindowUi.h"

#include "core/generator/MakerAddress.h"
#include "qt/main/WidgetText.h"
#include "qt/platform/KeyboardAccess.h"
#include "qt/platform/LocalPath.h"

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
    auto* combo = named(new QComboBox(&parent), name);
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
    createControls(window);
    layOut(window);
    setUpKeyboard();
}

void MainWindowUi::setUpKeyboard()
{
    const std::initializer_list<std::pair<QLabel*, QWidget*>> labelled = {
        {Label1, cmbDoctype},      {Label2, txtTitle},   {Label4, cmbRobots},
        {Label5, txtDescription},  {Label6, txtAuthor},  {Label7, cmbPragma},
        {Label8, cmbRevisit},      {Label9, cmbCaching}, {Label10, txtKeyword},
        {Label17, txtAnzahlSeiten}};
    for (const auto& [label, field] : labelled)
        KeyboardAccess::nameByLabel(*label, *field);
    cmbRevisit->setAccessibleDescription(Label15->text());
    KeyboardAccess::name(*txtScripting, Frame2->title());
    KeyboardAccess::name(*txtBody, Frame3->title());

    KeyboardAccess::makeMultiLineField(*txtScripting);
    KeyboardAccess::makeMultiLineField(*txtBody);
    KeyboardAccess::makeOptionGroup(*namingGroup);

    // Region by region, as the window reads from top left to bottom right.
    KeyboardAccess::setTabOrder(
        {cmbDoctype,    txtTitle,        cmbRobots,           txtDescription,  txtAuthor,
         cmbPragma,     cmbRevisit,      cmbCaching,          txtScripting,    Label18,
         txtKeyword,    cmdLadeKeyword,  cmdCreateKeyword,    txtBody,         cmdSeitenhintergrund,
         cmdSchriftart, cmdSchriftfarbe, cmdLinkfarbe,        cmdBeispielcode, optKeywords,
         optDateiname,  chkImageLinks,   txtAnzahlSeiten,     cmdUpload,       cmdErstellen,
         cmdVorschau,   cmdVorlageLaden, cmdVorlageSpeichern, cmbReset,        cmdEnde});
}

void MainWindowUi::createControls(QWidget& window)
{
    Frame1 = named(new QGroupBox(QStringLiteral("Details im Seitenkopf und Parameter für "
                                                "Suchmaschinen - Indizierung"),
                                 &window),
                   "Frame1");
    Label1 = fieldLabel(window, "Label1", QStringLiteral("DOCTYPE"));
    cmbDoctype = comboBox(window, "cmbDoctype", doctypeChoices(), false);
    Label2 = fieldLabel(window, "Label2", QStringLiteral("<TITLE>"));
    txtTitle = lineEdit(window, "txtTitle", titleLimit);
    Label3 = label(window, "Label3", QStringLiteral("</TITLE>"));
    Label4 = fieldLabel(window, "Label4", QStringLiteral("ROBOTS"));
    cmbRobots = comboBox(window, "cmbRobots", robotsChoices(), true);
    Label5 = fieldLabel(window, "Label5", QStringLiteral("DESCRIPTION"));
    txtDescription = lineEdit(window, "txtDescription", descriptionLimit);
    Label6 = fieldLabel(window, "Label6", QStringLiteral("AUTHOR"));
    txtAuthor = lineEdit(window, "txtAuthor", authorLimit);
    Label7 = fieldLabel(window, "Label7", QStringLiteral("PRAGMA"));
    cmbPragma = comboBox(window, "cmbPragma", pragmaChoices(), true);
    Label8 = fieldLabel(window, "Label8", QStringLiteral("REVISIT-AFTER"));
    cmbRevisit = comboBox(window, "cmbRevisit", revisitChoices(), true);
    Label15 = label(window, "Label15", QStringLiteral("days"));
    Label9 = fieldLabel(window, "Label9", QStringLiteral("CACHE"));
    cmbCaching = comboBox(window, "cmbCaching", cachingChoices(), true);

    Frame2 = named(new QGroupBox(QStringLiteral("Scripting und Style-Sheet (CSS)-Definitionen im "
                                                "<HEAD></HEAD>-Container"),
                                 &window),
                   "Frame2");
    txtScripting = textBox(window, "txtScripting");

    Label18 = label(window, "Label18",
                    QStringLiteral("V T R 3.0 -  by ") + QString::fromLatin1(makerAddress));
    setTextColor(Label18, Qt::blue, true);
    Label18->setCursor(Qt::PointingHandCursor);
    Label18->setFocusPolicy(Qt::TabFocus);
    Label18->setAccessibleDescription(QStringLiteral("Öffnet die Homepage im Browser"));
    Label10 = fieldLabel(window, "Label10", QStringLiteral("Keyword-Datei"));
    txtKeyword = lineEdit(window, "txtKeyword");
    txtKeyword->setReadOnly(true);
    cmdLadeKeyword = button(window, "cmdLadeKeyword", QStringLiteral("Laden"));
    cmdCreateKeyword = button(window, "cmdCreateKeyword", QStringLiteral("Erstellen"));

    Frame3 = named(new QGroupBox(QStringLiteral("<BODY> - Informationen"), &window), "Frame3");
    txtBody = textBox(window, "txtBody");

    cmdSeitenhintergrund =
        button(window, "cmdSeitenhintergrund", QStringLiteral("Seitenhintergrund*"));
    cmdSchriftart = button(window, "cmdSchriftart", QStringLiteral("Schriftart*"));
    cmdSchriftfarbe = button(window, "cmdSchriftfarbe", QStringLiteral("Schriftfarbe*"));
    cmdLinkfarbe = button(window, "cmdLinkfarbe", QStringLiteral("Linkfarbe*"));
    cmdBeispielcode = button(window, "cmdBeispielcode", QStringLiteral("Beispiel - Code"));
    Label14 = label(window, "Label14",
                    QStringLiteral("[ *ACHTUNG - Überschreibt eigene Styles und Deklarationen ]"));
    Label11 =
        label(window, "Label11", QStringLiteral("Drücken Sie F1, um die Online-Hilfe zu öffnen."),
              Qt::AlignRight | Qt::AlignVCenter);
    setTextColor(Label11, QColor(0x00, 0x80, 0x00), false);

    Frame4 = named(new QGroupBox(QStringLiteral("Ausgabeoptionen"), &window), "Frame4");
    optKeywords =
        named(new QRadioButton(QStringLiteral("Keywords als Dateinamen verwenden"), &window),
              "optKeywords");
    optDateiname =
        named(new QRadioButton(QStringLiteral("Dateien numerieren"), &window), "optDateiname");
    namingGroup = new QButtonGroup(&window);
    namingGroup->addButton(optKeywords);
    namingGroup->addButton(optDateiname);
    Label16 = label(window, "Label16", QStringLiteral("(Datei1, Datei2...)"));
    chkImageLinks =
        named(new QCheckBox(QStringLiteral("Ranking durch verlinkte Images optimieren"), &window),
              "chkImageLinks");
    Label17 = fieldLabel(window, "Label17", QStringLiteral("Wieviele Dateien erzeugen?"));
    txtAnzahlSeiten = lineEdit(window, "txtAnzahlSeiten");

    Frame5 = named(new QGroupBox(QStringLiteral("Dateien auf den Server überspielen"), &window),
                   "Frame5");
    Label19 = label(window, "Label19",
                    QStringLiteral("Für die Nutzung dieser erweiterten Funktion muss der Internet "
                                   "Explorer ab Version 4 installiert und ein Proxy-Server "
                                   "deaktiviert sein. Anderenfalls verwenden Sie zum UpLoad der "
                                   "Doorpages bitte Ihren Standard-FTP-Client, z.B. WS_FTP etc."));
    Label19->setWordWrap(true);
    setTextColor(Label19, Qt::blue, false);
    // The long hint in a smaller type leaves the height to the body template.
    QFont hint = Label19->font();
    hint.setPointSizeF(hint.pointSizeF() * 0.85);
    Label19->setFont(hint);
    cmdUpload = button(window, "cmdUpload", QStringLiteral("SERVER UPLOAD"));

    cmdErstellen = button(window, "cmdErstellen", QStringLiteral("ERSTELLEN"));
    cmdVorschau = button(window, "cmdVorschau", QStringLiteral("VORSCHAU"));
    cmdVorlageLaden = button(window, "cmdVorlageLaden", QStringLiteral("EIGENE VORLAGE LADEN"));
    cmdVorlageSpeichern =
        button(window, "cmdVorlageSpeichern", QStringLiteral("ALS EIGENE VORLAGE SPEICHERN"));
    Line1 = named(new QFrame(&window), "Line1");
    Line1->setFrameShape(QFrame::HLine);
    Line1->setFrameShadow(QFrame::Sunken);
    cmbReset = button(window, "cmbReset", QStringLiteral("RESET"));
    cmdEnde = button(window, "cmdEnde", QStringLiteral("Ende"));
    for (QWidget* widget :
         {cmdErstellen, cmdVorschau, cmdVorlageLaden, cmdVorlageSpeichern, cmbReset, cmdEnde})
        makeBold(widget);
}

void MainWindowUi::layOut(QWidget& window)
{
    auto* head = new QGridLayout(Frame1);
    head->setContentsMargins(6, 2, 6, 4);
    head->setVerticalSpacing(3);
    head->setHorizontalSpacing(4);
    head->addWidget(Label1, 0, 0);
    head->addWidget(cmbDoctype, 0, 1);
    head->addWidget(Label2, 1, 0);
    head->addLayout(row({txtTitle, Label3, Label4, cmbRobots}), 1, 1);
    head->addWidget(Label5, 2, 0);
    head->addWidget(txtDescription, 2, 1);
    head->addWidget(Label6, 3, 0);
    head->addLayout(
        row({txtAuthor, Label7, cmbPragma, Label8, cmbRevisit, Label15, Label9, cmbCaching}), 3, 1);
    // The long XHTML entries would otherwise widen the whole window.
    cmbDoctype->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    cmbDoctype->setMinimumContentsLength(40);
    cmbRobots->setMinimumWidth(170);
    cmbRevisit->setFixedWidth(60);
    for (QComboBox* combo : {cmbPragma, cmbCaching})
        combo->setFixedWidth(100);
    Label4->setMinimumWidth(60);

    auto* scripting = new QVBoxLayout(Frame2);
    scripting->setContentsMargins(6, 2, 6, 4);
    scripting->addWidget(txtScripting);
    // Room for about three lines and a whole scroll bar.
    txtScripting->setFixedHeight(txtScripting->minimumSizeHint().height());

    auto* keywordRow = row({Label18, Label10, txtKeyword, cmdLadeKeyword, cmdCreateKeyword});
    keywordRow->insertSpacing(1, 16);

    auto* body = new QVBoxLayout(Frame3);
    body->setContentsMargins(6, 2, 6, 4);
    body->addWidget(txtBody);

    auto* styleButtons =
        row({cmdSeitenhintergrund, cmdSchriftart, cmdSchriftfarbe, cmdLinkfarbe, cmdBeispielcode});
    auto* styleNotes = row({Label14, Label11});

    auto* options = new QGridLayout(Frame4);
    options->setContentsMargins(6, 2, 6, 4);
    options->setVerticalSpacing(2);
    options->addWidget(optKeywords, 0, 0, 1, 2);
    options->addLayout(row({optDateiname, Label16}), 1, 0, 1, 2, Qt::AlignLeft);
    options->addWidget(chkImageLinks, 2, 0, 1, 2);
    options->addWidget(Label17, 3, 0);
    options->addWidget(txtAnzahlSeiten, 3, 1);
    txtAnzahlSeiten->setFixedWidth(60);

    auto* upload = new QVBoxLayout(Frame5);
    upload->setContentsMargins(6, 2, 6, 4);
    upload->setSpacing(2);
    upload->addWidget(Label19);
    upload->addWidget(cmdUpload);
    // A wrapped label asks for its height only once its width is known, which the window's
    // minimum size does not wait for: the narrowest width it may get fixes the height it needs.
    // The frame is at least as wide as its title, so the hint inside its margins may be too.
    const int hintWidth = Frame5->fontMetrics().horizontalAdvance(Frame5->title()) - 12;
    Label19->setMinimumWidth(hintWidth);
    Label19->setMinimumHeight(Label19->heightForWidth(hintWidth));

    auto* actions = new QVBoxLayout;
    actions->setSpacing(3);
    actions->addLayout(row({cmdErstellen, cmdVorschau}));
    actions->addWidget(cmdVorlageLaden);
    actions->addWidget(cmdVorlageSpeichern);
    actions->addWidget(Line1);
    actions->addLayout(row({cmbReset, cmdEnde}));
    actions->addStretch();

    auto* bottom = new QHBoxLayout;
    bottom->setSpacing(6);
    bottom->addWidget(Frame4);
    bottom->addWidget(Frame5, 1);
    bottom->addLayout(actions);

    auto* root = new QVBoxLayout(&window);
    root->setContentsMargins(6, 4, 6, 6);
    root->setSpacing(3);
    root->addWidget(Frame1);
    root->addWidget(Frame2);
    root->addLayout(keywordRow);
    root->addWidget(Frame3, 1);
    root->addLayout(styleButtons);
    root->addLayout(styleNotes);
    root->addLayout(bottom);
}

PageSettings MainWindowUi::read(PageSettings base) const
{
    const auto doctype = static_cast<size_t>(std::max(0, cmbDoctype->currentIndex()));
    base.cmbDoctype = doctype < doctypeChoices().size() ? doctypeChoices()[doctype] : "";
    base.txtTitle = WidgetText::toCp1252(txtTitle->text());
    base.cmbRobots = WidgetText::toCp1252(cmbRobots->currentText());
    base.txtDescription = WidgetText::toCp1252(txtDescription->text());
    base.txtAuthor = WidgetText::toCp1252(txtAuthor->text());
    base.cmbPragma = WidgetText::toCp1252(cmbPragma->currentText());
    base.cmbRevisit = WidgetText::toCp1252(cmbRevisit->currentText());
    base.cmbCaching = WidgetText::toCp1252(cmbCaching->currentText());
    base.txtScripting = WidgetText::multiLineToCp1252(*txtScripting);
    base.txtKeyword = LocalPath::fromQt(txtKeyword->text());
    base.txtBody = WidgetText::multiLineToCp1252(*txtBody);
    base.optKeywords = optKeywords->isChecked();
    base.chkImageLinks = chkImageLinks->isChecked() ? 1 : 0;
    base.txtAnzahlSeiten = WidgetText::toCp1252(txtAnzahlSeiten->text());
    return base;
}

void MainWindowUi::write(const PageSettings& settings)
{
    const auto& doctypes = doctypeChoices();
    const auto doctype = std::find(doctypes.begin(), doctypes.end(), settings.cmbDoctype);
    if (doctype != doctypes.end())
        cmbDoctype->setCurrentIndex(static_cast<int>(doctype - doctypes.begin()));
    setLimitedText(txtTitle, WidgetText::fromCp1252(settings.txtTitle), titleLimit);
    setText(cmbRobots, WidgetText::fromCp1252(settings.cmbRobots));
    setLimitedText(txtDescription, WidgetText::fromCp1252(settings.txtDescription),
                   descriptionLimit);
    setLimitedText(txtAuthor, WidgetText::fromCp1252(settings.txtAuthor), authorLimit);
    setText(cmbPragma, WidgetText::fromCp1252(settings.cmbPragma));
    setText(cmbRevisit, WidgetText::fromCp1252(settings.cmbRevisit));
    setText(cmbCaching, WidgetText::fromCp1252(settings.cmbCaching));
    setText(txtScripting, settings.txtScripting);
    setText(txtKeyword, LocalPath::toQt(settings.txtKeyword));
    setText(txtBody, settings.txtBody);
    (settings.optKeywords ? optKeywords : optDateiname)->setChecked(true);
    chkImageLinks->setChecked(settings.chkImageLinks != 0);
    setText(txtAnzahlSeiten, WidgetText::fromCp1252(settings.txtAnzahlSeiten));
    for (QPushButton* style : {cmdSeitenhintergrund, cmdSchriftart, cmdSchriftfarbe, cmdLinkfarbe})
        style->setEnabled(!settings.Beispielcode);
}

} // namespace vantiro
