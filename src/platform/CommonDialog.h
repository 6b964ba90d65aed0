#pragma once

#include <QString>
#include <QStringList>

// The window's one file dialog, shared by the load and save buttons. It keeps its properties
// between uses, so a dialog opens with the name the previous one returned. After showOpen() or
// showSave() the file name holds the choice: empty when the dialog was cancelled, one full path
// for one file, or, when several files were chosen, the directory followed by the bare name of
// each file, every item separated from the next by a NUL character.
class CommonDialog
{
public:
    static constexpr int cdlOFNReadOnly = 0x1;
    static constexpr int cdlOFNOverwritePrompt = 0x2;
    static constexpr int cdlOFNAllowMultiselect = 0x200;
    static constexpr int cdlOFNFileMustExist = 0x1000;
    static constexpr int cdlOFNExplorer = 0x80000;
    static constexpr int cdlOFNLongNames = 0x200000;

    virtual ~CommonDialog() = default;

    QString fileName() const { return fileName_; }
    void setFileName(const QString &fileName) { fileName_ = fileName; }
    QString dialogTitle() const { return dialogTitle_; }
    void setDialogTitle(const QString &title) { dialogTitle_ = title; }
    // Pairs of a description and its patterns, all separated by "|"; patterns are separated
    // by ";".
    QString filter() const { return filter_; }
    void setFilter(const QString &filter) { filter_ = filter; }
    int flags() const { return flags_; }
    void setFlags(int flags) { flags_ = flags; }

    // Both are modal: they return when the dialog has closed.
    void showOpen() { fileName_ = chooseToOpen(); }
    void showSave() { fileName_ = chooseToSave(); }

    // The file name that stands for the given absolute paths: one path as it is, several as
    // the first one's directory and each path relative to it, NUL-separated.
    static QString selectionString(const QStringList &paths);
    // Whether fileName holds several files rather than one path.
    static bool isMultiSelection(const QString &fileName);

protected:
    // Shows the dialog, set up from the properties, and returns what becomes the file name.
    virtual QString chooseToOpen() = 0;
    virtual QString chooseToSave() = 0;

private:
    QString fileName_;
    QString dialogTitle_;
    QString filter_;
    int flags_ = 0;
};
