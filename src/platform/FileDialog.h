#pragma once

#include <QString>
#include <QStringList>

// The window's one file dialog, shared by the load and save buttons. It keeps its properties
// between uses, so a dialog opens with the choice the previous one returned.
class FileDialog
{
public:
    static constexpr int cdlOFNReadOnly = 0x1;
    static constexpr int cdlOFNOverwritePrompt = 0x2;
    static constexpr int cdlOFNAllowMultiselect = 0x200;
    static constexpr int cdlOFNFileMustExist = 0x1000;
    static constexpr int cdlOFNExplorer = 0x80000;
    static constexpr int cdlOFNLongNames = 0x200000;

    virtual ~FileDialog() = default;

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

    // Forgets the last choice, so that the next dialog opens without a name.
    void clearChoice() { fileName_.clear(); }
    // What the last dialog returned: nothing when it was cancelled, one path for one file, and
    // for several files each name joined onto their folder with the platform's separator, in
    // the dialog's order. With collapseDoubledSeparators, each joined path goes through
    // withoutDoubledSeparators(); one path is never rewritten.
    QStringList chosenPaths(bool collapseDoubledSeparators = false) const;
    // The path with every two consecutive separators made one, left to right, so that three in
    // a row become two. Where the separator is a backslash, the two that start a network path
    // (\\server\share\...) stay.
    static QString withoutDoubledSeparators(const QString &path, QChar separator);
    // What the last dialog returned, taken as one path whatever it holds, as saving takes it.
    QString chosenPath() const { return fileName_; }
    // Makes absolute paths the dialog's choice, as if the user had chosen them in it, so that
    // the next dialog opens where they are.
    void setChosenPaths(const QStringList &paths) { fileName_ = selectionString(paths); }

protected:
    // The dialog keeps its choice as one string: one path, or the folder followed by the bare
    // name of each file, every item separated from the next by a NUL character.
    QString fileName() const { return fileName_; }
    static QString selectionString(const QStringList &paths);
    static bool isMultiSelection(const QString &fileName);

    // Shows the dialog, set up from the properties and starting from fileName(), and returns
    // what becomes the file name.
    virtual QString chooseToOpen() = 0;
    virtual QString chooseToSave() = 0;

private:
    QString fileName_;
    QString dialogTitle_;
    QString filter_;
    int flags_ = 0;
};
