#pragma once
// A directory list in the classic style: the root, the folders leading down to the current
// directory, and the sub-folders of that directory. Selecting an entry changes nothing;
// opening it (double click, Enter) asks the owner to go there.

#include <QString>
#include <QTreeWidget>

#include "platform/files/folder_access.h"

namespace pmkest {

class DirectoryListBox : public QTreeWidget {
    Q_OBJECT
public:
    explicit DirectoryListBox(QWidget* parent = nullptr);

    // The current directory: a full path, without a trailing separator except at the root.
    QString directory() const { return m_directory; }
    // Goes to the folder and lists it. On failure returns why, for the owner to word, and the
    // list stays where it was.
    FolderRefusal setDirectory(const QString& path);
    // The folder that an entry stands for.
    static QString entryPath(const QTreeWidgetItem* item);
    QTreeWidgetItem* entryFor(const QString& path) const;

signals:
    void directoryChanged(const QString& directory);
    void openRequested(const QString& path);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    // The list never folds: no branch marks, only the indentation.
    void drawBranches(QPainter*, const QRect&, const QModelIndex&) const override {}

private:
    void fill();
    void openEntry(QTreeWidgetItem* item);

    QString m_directory;
};

// A full path in the list's form: absolute, cleaned, no trailing separator but at the root.
QString NormalDirectory(const QString& path);

}  // namespace pmkest
