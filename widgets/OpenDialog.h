#pragma once

#include <QObject>
#include <QString>

class QWidget;

// A file-open dialog component as windows place it: its default extension, its filter in the classic form
// ("Description|*.ext|…"), its initial folder and the chosen file. It runs through the dialog layer. By
// default an existing file is not required, so that a new name can be typed.
class TOpenDialog : public QObject
{
    Q_OBJECT

public:
    explicit TOpenDialog(QWidget *parent = nullptr);

    QString defaultExt() const { return m_defaultExt; }
    void setDefaultExt(const QString &value) { m_defaultExt = value; }
    QString filter() const { return m_filter; }
    void setFilter(const QString &value) { m_filter = value; }
    // A relative folder is taken relative to the working directory when the dialog runs; a folder that
    // does not exist leaves the choice to the dialog.
    QString initialDir() const { return m_initialDir; }
    void setInitialDir(const QString &value) { m_initialDir = value; }
    bool fileMustExist() const { return m_fileMustExist; }
    void setFileMustExist(bool value) { m_fileMustExist = value; }
    QString title() const { return m_title; }
    void setTitle(const QString &value) { m_title = value; }
    QString fileName() const { return m_fileName; }

    // True when the user chose a file (then fileName() names it, with the default extension added to a name
    // typed without one).
    bool Execute();

    // "Description|*.ext|…" as the dialogs write filters ("Description (*.ext);;…").
    static QString dialogFilter(const QString &filter);
    // The folder the dialog opens in for `initialDir`: absolute, with the host's separators; empty when
    // it does not exist.
    static QString startFolder(const QString &initialDir);

private:
    QString m_defaultExt;
    QString m_filter;
    QString m_initialDir;
    bool m_fileMustExist = false;
    QString m_title;
    QString m_fileName;
};
