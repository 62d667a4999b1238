#pragma once

#include "designer/PropertyFields.h"

#include <QStringList>

class QCheckBox;
class QComboBox;
class QFontComboBox;
class QTextCharFormat;
class QTextEdit;
class QToolButton;
class TRpDBRichText;
class TRpRichText;
class TrpdColorCombo;

// The ruler above the rich-text editor: the left indent and the first-line indent of the paragraph holding
// the cursor, as two markers that are dragged to change them.
class TRpIndentRuler : public QWidget
{
    Q_OBJECT

public:
    explicit TRpIndentRuler(QTextEdit *editor, QWidget *parent = nullptr);

    QSize sizeHint() const override { return QSize(200, 18); }

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    enum class Marker { None, Left, FirstLine };
    qreal leftIndent() const;
    qreal firstLineIndent() const;
    int origin() const;

    QTextEdit *m_editor;
    Marker m_dragging = Marker::None;
};

// The rich-text editor of the rich-text dialog: a formatted document (the platform's rich-text document) with
// file new, open, save, save as and print; undo, cut, copy, paste; font name and size, bold, italic,
// underline, alignment, bullets and indents on a ruler; "Add new expression-field" and "Remove line if
// empty". Files are HTML; RTF files are read as well.
class TRpRichTextEditor : public QWidget
{
    Q_OBJECT

public:
    explicit TRpRichTextEditor(TRpDesigner *designer, QWidget *parent = nullptr);

    QTextEdit *Editor;
    TRpIndentRuler *Ruler;
    QToolButton *BNew;
    QToolButton *BOpen;
    QToolButton *BSave;
    QToolButton *BSaveAs;
    QToolButton *BPrint;
    QToolButton *BUndo;
    QToolButton *BCut;
    QToolButton *BCopy;
    QToolButton *BPaste;
    QFontComboBox *ComboFontName;
    QComboBox *ComboFontSize;
    QToolButton *BBold;
    QToolButton *BItalic;
    QToolButton *BUnderline;
    QToolButton *BAlignLeft;
    QToolButton *BAlignCenter;
    QToolButton *BAlignRight;
    QToolButton *BBullets;
    QToolButton *BIndentLess;
    QToolButton *BIndentMore;
    QToolButton *BExpression;
    QToolButton *BRemoveLine;

    // The text in any form rich-text elements keep (RTF, HTML or plain text).
    void setRichText(const QString &text);
    // The document as HTML.
    QString richText() const;
    bool modified() const;

    bool loadFile(const QString &fileName);
    bool saveFile(const QString &fileName);

private:
    QToolButton *button(
        const QString &name, const QString &text, const QString &hint, bool checkable = false);
    void newDocument();
    void openFile();
    void save(bool askName);
    void print();
    void mergeFormat(const QTextCharFormat &format);
    void showFormat();
    void setIndent(int steps);

    TRpDesigner *m_designer;
    QString m_fileName;
};

// The rich-text dialog ("Richtext"): the editor, "Autostretch height" and the background colour.
class TRichtextPropertyForm : public TRpPropertyForm
{
    Q_OBJECT

public:
    TRichtextPropertyForm(QWidget *owner, TRpDesigner *designer);

    TRpRichTextEditor *RichEdit;
    QCheckBox *CheckAutoStretch;
    TrpdColorCombo *ComboColor;

    void load(const TRpRichText &element);
    // The text (only when it was edited, so an untouched text keeps its form), autostretch and colour.
    void apply(TRpRichText &element) const;

    static bool Edit(QWidget *owner, TRpDesigner *designer, TRpRichText *element);
};

// The rich-text data field dialog ("Richtext data field"): data set, data field, alignment, "Autostretch
// height", font and colour.
class TDBRichtextPropertyForm : public TRpPropertyForm
{
    Q_OBJECT

public:
    TDBRichtextPropertyForm(QWidget *owner, TRpDesigner *designer);

    TRpDataFieldChooser *DataField;
    QCheckBox *CheckAutoStretch;
    TRpFontGroup *FontGroup;

    void load(TRpDBRichText &element);
    void apply(TRpDBRichText &element) const;

    static bool Edit(QWidget *owner, TRpDesigner *designer, TRpDBRichText *element);
};
