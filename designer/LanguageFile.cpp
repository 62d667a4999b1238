#include "designer/LanguageFile.h"

#include "designer/RuntimeMessages.h"
#include "platform/Cp1252.h"
#include "widgets/Dialogs.h"

#include <QAbstractButton>
#include <QAction>
#include <QComboBox>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QPlainTextEdit>
#include <QStringDecoder>
#include <QTabWidget>

namespace {

// Language files are small; anything larger is not one.
constexpr qint64 kMaxLanguageFileSize = 16 * 1024 * 1024;

QString decodeText(const QByteArray &bytes)
{
    QStringDecoder utf8(QStringDecoder::Utf8);
    QString text = utf8.decode(bytes);
    if (utf8.hasError())
        return Cp1252::decode(bytes);
    if (text.startsWith(QChar(0xFEFF)))
        text.remove(0, 1);
    return text;
}

QString unquoted(const QString &value)
{
    if (value.size() >= 2) {
        const QChar first = value.front();
        if ((first == u'"' || first == u'\'') && value.back() == first)
            return value.mid(1, value.size() - 2);
    }
    return value;
}

void setCaption(QObject *object, const QString &text)
{
    if (auto *menu = qobject_cast<QMenu *>(object))
        menu->setTitle(text);
    else if (auto *action = qobject_cast<QAction *>(object))
        action->setText(text);
    else if (auto *button = qobject_cast<QAbstractButton *>(object))
        button->setText(text);
    else if (auto *label = qobject_cast<QLabel *>(object))
        label->setText(text);
    else if (auto *group = qobject_cast<QGroupBox *>(object))
        group->setTitle(text);
    else if (auto *widget = qobject_cast<QWidget *>(object); widget && widget->isWindow())
        widget->setWindowTitle(text);
}

void setHint(QObject *object, const QString &text)
{
    if (auto *action = qobject_cast<QAction *>(object)) {
        action->setToolTip(text);
        action->setStatusTip(text);
    } else if (auto *widget = qobject_cast<QWidget *>(object)) {
        widget->setToolTip(text);
    }
}

} // namespace

std::unique_ptr<TRpLanguageFile> TRpLanguageFile::fromText(const QByteArray &bytes)
{
    auto file = std::make_unique<TRpLanguageFile>();
    QHash<QString, QString> *section = nullptr;
    const QStringList lines = decodeText(bytes).split(u'\n');
    for (QString line : lines) {
        if (line.endsWith(u'\r'))
            line.chop(1);
        if (line.isEmpty())
            continue;
        if (line.startsWith(u'[')) {
            const QString name = line.mid(1, line.size() - 2).toLower();
            section = &file->m_sections[name];
            continue;
        }
        const qsizetype equals = line.indexOf(u'=');
        if (!section || equals < 0)
            continue;
        section->insert(line.left(equals).toLower(), unquoted(line.mid(equals + 1)));
    }
    return file;
}

bool TRpLanguageFile::hasSection(const QString &section) const
{
    return m_sections.contains(section.toLower());
}

bool TRpLanguageFile::contains(const QString &section, const QString &key) const
{
    const auto it = m_sections.constFind(section.toLower());
    return it != m_sections.constEnd() && it->contains(key.toLower());
}

QString TRpLanguageFile::value(const QString &section, const QString &key) const
{
    const auto it = m_sections.constFind(section.toLower());
    return it == m_sections.constEnd() ? QString() : it->value(key.toLower());
}

void TRpLanguageFile::apply(
    QWidget *window, const QString &section, RpMessageTable *engine, const QString &engineName) const
{
    const auto found = m_sections.constFind(section.toLower());
    if (found == m_sections.constEnd() || !window)
        return;
    const QHash<QString, QString> &keys = *found;
    auto lookup = [&keys](const QString &key, QString &value) {
        const auto it = keys.constFind(key.toLower());
        if (it == keys.constEnd())
            return false;
        value = *it;
        return true;
    };
    QString value;
    if (lookup(section + QStringLiteral(".Caption"), value))
        window->setWindowTitle(value);
    const QList<QObject *> components = window->findChildren<QObject *>();
    for (QObject *component : components) {
        const QString name = component->objectName();
        if (name.isEmpty())
            continue;
        if (lookup(name + QStringLiteral(".Caption"), value))
            setCaption(component, value);
        if (lookup(name + QStringLiteral(".Hint"), value))
            setHint(component, value);
        const QString item = name + QStringLiteral(".Item");
        if (auto *combo = qobject_cast<QComboBox *>(component)) {
            for (int i = 0; i < combo->count(); ++i) {
                if (lookup(item + QString::number(i + 1), value))
                    combo->setItemText(i, value);
            }
        } else if (auto *list = qobject_cast<QListWidget *>(component)) {
            for (int i = 0; i < list->count(); ++i) {
                if (lookup(item + QString::number(i + 1), value))
                    list->item(i)->setText(value);
            }
        } else if (auto *tabs = qobject_cast<QTabWidget *>(component)) {
            for (int i = 0; i < tabs->count(); ++i) {
                if (lookup(item + QString::number(i + 1), value))
                    tabs->setTabText(i, value);
            }
        } else if (auto *edit = qobject_cast<QPlainTextEdit *>(component)) {
            QStringList lines;
            for (int i = 1; lookup(item + QString::number(i), value); ++i)
                lines << value;
            if (!lines.isEmpty())
                edit->setPlainText(lines.join(u'\n'));
        }
    }
    if (engine && !engineName.isEmpty()) {
        const QString item = engineName + QStringLiteral(".Item");
        for (int i = 1; i <= engine->lines().size(); ++i) {
            if (lookup(item + QString::number(i), value))
                engine->replaceLine(i, value);
        }
    }
}

namespace LanguageFiles {

namespace {
struct Current
{
    QString fileName;
    std::unique_ptr<TRpLanguageFile> file;
};

Current &current()
{
    static Current state;
    return state;
}
} // namespace

const TRpLanguageFile *use(const QString &fileName, QWidget *parent)
{
    Current &state = current();
    if (fileName.isEmpty())
        return nullptr;
    if (fileName == state.fileName)
        return state.file.get();
    state.fileName = fileName;
    state.file.reset();
    QFile file(fileName);
    if (!file.exists() || !file.open(QIODevice::ReadOnly)) {
        Dialogs::showError(parent, QStringLiteral("File ") + fileName + QStringLiteral(" not found!"));
        return nullptr;
    }
    if (file.size() > kMaxLanguageFileSize)
        return nullptr;
    state.file = TRpLanguageFile::fromText(file.readAll());
    return state.file.get();
}

void reset()
{
    current() = Current {};
}

} // namespace LanguageFiles
