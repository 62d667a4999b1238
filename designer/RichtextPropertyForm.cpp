#include "designer/RichtextPropertyForm.h"

#include "designer/ColorCombo.h"
#include "designer/FieldMarkerEditing.h"
#include "designer/RpDesigner.h"
#include "platform/Exceptions.h"
#include "platform/FileIO.h"
#include "report/elements/RichTextItems.h"
#include "report/elements/RtfText.h"
#include "widgets/Dialogs.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFontComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPrinter>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>
#include <QTextList>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

// Pixels an indent step moves a paragraph.
constexpr qreal kIndentStep = 20;

QString fileFilter()
{
    return QStringLiteral("Rich text (*.htm *.html *.rtf *.txt);;HTML (*.htm *.html);;RTF (*.rtf)");
}

} // namespace

// ---------------------------------------------------------------- ruler

TRpIndentRuler::TRpIndentRuler(QTextEdit *editor, QWidget *parent)
    : QWidget(parent)
    , m_editor(editor)
{
    setObjectName(QStringLiteral("Ruler"));
    setMinimumHeight(18);
    connect(editor, &QTextEdit::cursorPositionChanged, this, qOverload<>(&QWidget::update));
}

int TRpIndentRuler::origin() const
{
    return m_editor->geometry().left() - geometry().left() + m_editor->frameWidth()
        + int(m_editor->document()->documentMargin());
}

qreal TRpIndentRuler::leftIndent() const
{
    return m_editor->textCursor().blockFormat().leftMargin();
}

qreal TRpIndentRuler::firstLineIndent() const
{
    return leftIndent() + m_editor->textCursor().blockFormat().textIndent();
}

void TRpIndentRuler::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.fillRect(rect(), palette().base());
    painter.setPen(palette().text().color());
    const int x0 = origin();
    for (int x = 0; x0 + x < width(); x += 10)
        painter.drawLine(x0 + x, height() - (x % 50 == 0 ? 7 : 3), x0 + x, height() - 1);
    auto marker = [&](qreal at, bool top) {
        const int x = x0 + int(at);
        QPolygon shape;
        if (top)
            shape << QPoint(x - 4, 0) << QPoint(x + 4, 0) << QPoint(x, 6);
        else
            shape << QPoint(x - 4, height() - 1) << QPoint(x + 4, height() - 1) << QPoint(x, height() - 7);
        painter.setBrush(palette().button());
        painter.drawPolygon(shape);
    };
    marker(firstLineIndent(), true);
    marker(leftIndent(), false);
}

void TRpIndentRuler::mousePressEvent(QMouseEvent *event)
{
    const qreal x = event->position().x() - origin();
    const bool top = event->position().y() < height() / 2.0;
    m_dragging = top ? Marker::FirstLine : Marker::Left;
    if (std::abs(x - (top ? firstLineIndent() : leftIndent())) > 6)
        m_dragging = Marker::None;
}

void TRpIndentRuler::mouseMoveEvent(QMouseEvent *event)
{
    if (m_dragging == Marker::None)
        return;
    const qreal x = std::max<qreal>(0, event->position().x() - origin());
    QTextCursor cursor = m_editor->textCursor();
    QTextBlockFormat format = cursor.blockFormat();
    if (m_dragging == Marker::Left) {
        const qreal first = firstLineIndent();
        format.setLeftMargin(x);
        format.setTextIndent(first - x);
    } else {
        format.setTextIndent(x - leftIndent());
    }
    cursor.setBlockFormat(format);
    update();
}

void TRpIndentRuler::mouseReleaseEvent(QMouseEvent *)
{
    m_dragging = Marker::None;
}

// ---------------------------------------------------------------- editor

TRpRichTextEditor::TRpRichTextEditor(TRpDesigner *designer, QWidget *parent)
    : QWidget(parent)
    , m_designer(designer)
{
    setObjectName(QStringLiteral("RichTextEditor"));
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    Editor = new QTextEdit(this);
    Editor->setObjectName(QStringLiteral("RichEdit"));
    Editor->setAcceptRichText(true);
    Editor->setMinimumSize(460, 220);

    auto *files = new QHBoxLayout;
    BNew = button(QStringLiteral("BNew"), QStringLiteral("New"), QStringLiteral("New"));
    BOpen = button(QStringLiteral("BOpen"), QStringLiteral("Open"), QStringLiteral("Open..."));
    BSave = button(QStringLiteral("BSave"), QStringLiteral("Save"), QStringLiteral("Save"));
    BSaveAs = button(QStringLiteral("BSaveAs"), QStringLiteral("Save as"), QStringLiteral("Save as..."));
    BPrint = button(QStringLiteral("BPrint"), QStringLiteral("Print"), QStringLiteral("Print"));
    BUndo = button(QStringLiteral("BUndo"), QStringLiteral("Undo"), QStringLiteral("Undo"));
    BCut = button(QStringLiteral("BCut"), QStringLiteral("Cut"), QStringLiteral("Cut"));
    BCopy = button(QStringLiteral("BCopy"), QStringLiteral("Copy"), QStringLiteral("Copy"));
    BPaste = button(QStringLiteral("BPaste"), QStringLiteral("Paste"), QStringLiteral("Paste"));
    for (QToolButton *b : { BNew, BOpen, BSave, BSaveAs, BPrint, BUndo, BCut, BCopy, BPaste })
        files->addWidget(b);
    files->addStretch();

    auto *format = new QHBoxLayout;
    ComboFontName = new QFontComboBox(this);
    ComboFontName->setObjectName(QStringLiteral("ComboFontName"));
    ComboFontSize = new QComboBox(this);
    ComboFontSize->setObjectName(QStringLiteral("ComboFontSize"));
    ComboFontSize->setEditable(true);
    for (int size : { 6, 7, 8, 9, 10, 11, 12, 14, 16, 18, 20, 22, 24, 26, 28, 36, 48, 72 })
        ComboFontSize->addItem(QString::number(size));
    BBold = button(QStringLiteral("BBold"), QStringLiteral("B"), QStringLiteral("Bold"), true);
    BItalic = button(QStringLiteral("BItalic"), QStringLiteral("I"), QStringLiteral("Italic"), true);
    BUnderline = button(QStringLiteral("BUnderline"), QStringLiteral("U"), QStringLiteral("Underline"), true);
    BAlignLeft
        = button(QStringLiteral("BAlignLeft"), QStringLiteral("Left"), QStringLiteral("Align left"), true);
    BAlignCenter = button(
        QStringLiteral("BAlignCenter"), QStringLiteral("Center"), QStringLiteral("Align center"), true);
    BAlignRight
        = button(QStringLiteral("BAlignRight"), QStringLiteral("Right"), QStringLiteral("Align right"), true);
    BBullets = button(QStringLiteral("BBullets"), QStringLiteral("Bullets"), QStringLiteral("Bullets"), true);
    BIndentLess
        = button(QStringLiteral("BIndentLess"), QStringLiteral("<<"), QStringLiteral("Decrease indent"));
    BIndentMore
        = button(QStringLiteral("BIndentMore"), QStringLiteral(">>"), QStringLiteral("Increase indent"));
    format->addWidget(ComboFontName);
    format->addWidget(ComboFontSize);
    for (QToolButton *b : { BBold, BItalic, BUnderline, BAlignLeft, BAlignCenter, BAlignRight, BBullets,
             BIndentLess, BIndentMore })
        format->addWidget(b);
    format->addStretch();

    auto *fields = new QHBoxLayout;
    BExpression = button(QStringLiteral("BExpression"), QStringLiteral("Add new expression-field"),
        QStringLiteral("Add expression..."));
    BRemoveLine = button(QStringLiteral("BRemoveLine"), QStringLiteral("Remove line if empty"),
        QStringLiteral("Remove line if empty"));
    fields->addWidget(BExpression);
    fields->addWidget(BRemoveLine);
    fields->addStretch();

    Ruler = new TRpIndentRuler(Editor, this);
    layout->addLayout(files);
    layout->addLayout(format);
    layout->addLayout(fields);
    layout->addWidget(Ruler);
    layout->addWidget(Editor, 1);

    connect(BNew, &QToolButton::clicked, this, &TRpRichTextEditor::newDocument);
    connect(BOpen, &QToolButton::clicked, this, &TRpRichTextEditor::openFile);
    connect(BSave, &QToolButton::clicked, this, [this] { save(false); });
    connect(BSaveAs, &QToolButton::clicked, this, [this] { save(true); });
    connect(BPrint, &QToolButton::clicked, this, &TRpRichTextEditor::print);
    connect(BUndo, &QToolButton::clicked, Editor, &QTextEdit::undo);
    connect(BCut, &QToolButton::clicked, Editor, &QTextEdit::cut);
    connect(BCopy, &QToolButton::clicked, Editor, &QTextEdit::copy);
    connect(BPaste, &QToolButton::clicked, Editor, &QTextEdit::paste);
    connect(ComboFontName, &QFontComboBox::textActivated, this, [this](const QString &family) {
        QTextCharFormat format;
        format.setFontFamilies({ family });
        mergeFormat(format);
    });
    connect(ComboFontSize, &QComboBox::textActivated, this, [this](const QString &text) {
        bool ok = false;
        const qreal size = text.toDouble(&ok);
        if (!ok || size < 1 || size > 1638)
            return;
        QTextCharFormat format;
        format.setFontPointSize(size);
        mergeFormat(format);
    });
    connect(BBold, &QToolButton::clicked, this, [this](bool on) {
        QTextCharFormat format;
        format.setFontWeight(on ? QFont::Bold : QFont::Normal);
        mergeFormat(format);
    });
    connect(BItalic, &QToolButton::clicked, this, [this](bool on) {
        QTextCharFormat format;
        format.setFontItalic(on);
        mergeFormat(format);
    });
    connect(BUnderline, &QToolButton::clicked, this, [this](bool on) {
        QTextCharFormat format;
        format.setFontUnderline(on);
        mergeFormat(format);
    });
    connect(BAlignLeft, &QToolButton::clicked, this, [this] {
        Editor->setAlignment(Qt::AlignLeft);
        showFormat();
    });
    connect(BAlignCenter, &QToolButton::clicked, this, [this] {
        Editor->setAlignment(Qt::AlignHCenter);
        showFormat();
    });
    connect(BAlignRight, &QToolButton::clicked, this, [this] {
        Editor->setAlignment(Qt::AlignRight);
        showFormat();
    });
    connect(BBullets, &QToolButton::clicked, this, [this](bool on) {
        QTextCursor cursor = Editor->textCursor();
        if (on) {
            cursor.createList(QTextListFormat::ListDisc);
        } else if (QTextList *list = cursor.currentList()) {
            QTextBlockFormat plain = cursor.blockFormat();
            list->remove(cursor.block());
            plain.setIndent(0);
            cursor.setBlockFormat(plain);
        }
    });
    connect(BIndentLess, &QToolButton::clicked, this, [this] { setIndent(-1); });
    connect(BIndentMore, &QToolButton::clicked, this, [this] { setIndent(1); });
    connect(BExpression, &QToolButton::clicked, this,
        [this] { FieldMarkerEditing::insertExpression(Editor, m_designer); });
    connect(BRemoveLine, &QToolButton::clicked, this,
        [this] { FieldMarkerEditing::insertRemoveMark(Editor->textCursor()); });
    connect(Editor, &QTextEdit::currentCharFormatChanged, this, [this] { showFormat(); });
    connect(Editor, &QTextEdit::cursorPositionChanged, this, [this] { showFormat(); });
}

QToolButton *TRpRichTextEditor::button(
    const QString &name, const QString &text, const QString &hint, bool checkable)
{
    auto *result = new QToolButton(this);
    result->setObjectName(name);
    result->setText(text);
    result->setToolTip(hint);
    result->setCheckable(checkable);
    return result;
}

void TRpRichTextEditor::setRichText(const QString &text)
{
    setRichTextContent(*Editor->document(), text);
    Editor->document()->setModified(false);
    showFormat();
}

QString TRpRichTextEditor::richText() const
{
    return Editor->document()->isEmpty() ? QString() : Editor->toHtml();
}

bool TRpRichTextEditor::modified() const
{
    return Editor->document()->isModified();
}

void TRpRichTextEditor::mergeFormat(const QTextCharFormat &format)
{
    QTextCursor cursor = Editor->textCursor();
    if (!cursor.hasSelection())
        cursor.select(QTextCursor::WordUnderCursor);
    cursor.mergeCharFormat(format);
    Editor->mergeCurrentCharFormat(format);
}

void TRpRichTextEditor::showFormat()
{
    const QTextCharFormat format = Editor->currentCharFormat();
    const QSignalBlocker blockName(ComboFontName);
    const QSignalBlocker blockSize(ComboFontSize);
    ComboFontName->setCurrentFont(format.font());
    ComboFontSize->setEditText(QString::number(format.font().pointSizeF()));
    BBold->setChecked(format.font().bold());
    BItalic->setChecked(format.fontItalic());
    BUnderline->setChecked(format.fontUnderline());
    const Qt::Alignment alignment = Editor->alignment();
    BAlignLeft->setChecked(alignment.testFlag(Qt::AlignLeft));
    BAlignCenter->setChecked(alignment.testFlag(Qt::AlignHCenter));
    BAlignRight->setChecked(alignment.testFlag(Qt::AlignRight));
    BBullets->setChecked(Editor->textCursor().currentList() != nullptr);
    Ruler->update();
}

void TRpRichTextEditor::setIndent(int steps)
{
    QTextCursor cursor = Editor->textCursor();
    QTextBlockFormat format = cursor.blockFormat();
    format.setLeftMargin(std::max<qreal>(0, format.leftMargin() + steps * kIndentStep));
    cursor.setBlockFormat(format);
    Ruler->update();
}

void TRpRichTextEditor::newDocument()
{
    Editor->clear();
    m_fileName.clear();
}

bool TRpRichTextEditor::loadFile(const QString &fileName)
{
    try {
        const QByteArray bytes = FileIO::readAll(fileName);
        const QString text = QString::fromUtf8(bytes);
        setRichTextContent(*Editor->document(), text);
        Editor->document()->setModified(true);
        m_fileName = fileName;
        return true;
    } catch (const Exception &error) {
        Dialogs::showError(this, error.message());
        return false;
    }
}

bool TRpRichTextEditor::saveFile(const QString &fileName)
{
    try {
        FileIO::writeAtomically(fileName, Editor->toHtml().toUtf8());
        m_fileName = fileName;
        return true;
    } catch (const Exception &error) {
        Dialogs::showError(this, error.message());
        return false;
    }
}

void TRpRichTextEditor::openFile()
{
    const QString name = Dialogs::getOpenFileName(this, QString(), QString(), fileFilter());
    if (!name.isEmpty())
        loadFile(name);
}

void TRpRichTextEditor::save(bool askName)
{
    QString name = m_fileName;
    if (askName || name.isEmpty())
        name = Dialogs::getSaveFileName(this, QString(), m_fileName, fileFilter());
    if (!name.isEmpty())
        saveFile(name);
}

void TRpRichTextEditor::print()
{
    QPrinter printer;
    if (Dialogs::choosePrinter(this, printer))
        Editor->document()->print(&printer);
}

// ---------------------------------------------------------------- rich text

TRichtextPropertyForm::TRichtextPropertyForm(QWidget *owner, TRpDesigner *designer)
    : TRpPropertyForm(
        owner, designer, QStringLiteral("TRichtextPropertyForm"), QStringLiteral("Richtext"), 90037)
{
    RichEdit = new TRpRichTextEditor(designer, this);
    content()->addWidget(RichEdit, 1);
    auto *row = new QHBoxLayout;
    CheckAutoStretch = PropertyForms::checkBox(
        this, QStringLiteral("CheckAutoStretch"), QStringLiteral("Autostretch height"));
    ComboColor = new TrpdColorCombo(this);
    ComboColor->setObjectName(QStringLiteral("ComboColor"));
    row->addWidget(CheckAutoStretch);
    row->addStretch();
    row->addWidget(new QLabel(QStringLiteral("Background color"), this));
    row->addWidget(ComboColor);
    content()->addLayout(row);
    translate();
}

void TRichtextPropertyForm::load(const TRpRichText &element)
{
    RichEdit->setRichText(element.RichText());
    CheckAutoStretch->setChecked(element.autoStretch());
    ComboColor->setColor(element.color());
}

void TRichtextPropertyForm::apply(TRpRichText &element) const
{
    if (RichEdit->modified()) {
        const QString text = RichEdit->richText();
        element.setLines(text.isEmpty() ? QStringList() : text.split(u'\n'));
    }
    element.setAutoStretch(CheckAutoStretch->isChecked());
    element.setColor(ComboColor->color(element.color()));
}

bool TRichtextPropertyForm::Edit(QWidget *owner, TRpDesigner *designer, TRpRichText *element)
{
    TRichtextPropertyForm form(owner, designer);
    form.load(*element);
    if (!Dialogs::exec(form))
        return false;
    form.apply(*element);
    return true;
}

// ---------------------------------------------------------------- rich text data field

TDBRichtextPropertyForm::TDBRichtextPropertyForm(QWidget *owner, TRpDesigner *designer)
    : TRpPropertyForm(owner, designer, QStringLiteral("TDBRichtextPropertyForm"),
        QStringLiteral("Richtext data field"), 90038)
{
    DataField = new TRpDataFieldChooser(this);
    content()->addWidget(DataField);
    CheckAutoStretch = PropertyForms::checkBox(
        this, QStringLiteral("CheckAutoStretch"), QStringLiteral("Autostretch height"));
    content()->addWidget(CheckAutoStretch);
    FontGroup = new TRpFontGroup(this);
    content()->addWidget(FontGroup);
    translate();
}

void TDBRichtextPropertyForm::load(TRpDBRichText &element)
{
    const bool several = designer() && designer()->selectedCount() > 1;
    DataField->load(designer(), element.dataSet(), element.dataField(), !several);
    DataField->setLocked(designer() && designer()->ElementFlag(&element, QStringLiteral("BlockChange")));
    CheckAutoStretch->setChecked(element.autoStretch());
    FontGroup->load(*element.font(), element.color(), element.alignment());
}

void TDBRichtextPropertyForm::apply(TRpDBRichText &element) const
{
    if (QObject *dataSet = DataField->dataSet(); dataSet || DataField->dataSetListShown())
        element.setDataSet(dataSet);
    if (DataField->ComboField->currentIndex() >= 0)
        element.setDataField(DataField->fieldName());
    element.setAlignment(FontGroup->alignment());
    element.setAutoStretch(CheckAutoStretch->isChecked());
    FontGroup->writeFont(*element.font());
    element.setColor(FontGroup->color());
}

bool TDBRichtextPropertyForm::Edit(QWidget *owner, TRpDesigner *designer, TRpDBRichText *element)
{
    TDBRichtextPropertyForm form(owner, designer);
    form.load(*element);
    if (!Dialogs::exec(form))
        return false;
    form.apply(*element);
    return true;
}
