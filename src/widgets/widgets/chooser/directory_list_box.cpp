#include "widgets/chooser/directory_list_box.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QHeaderView>
#include <QKeyEvent>
#include <QStyle>

#include "platform/files/folder_access.h"

namespace pmkest {

namespace {
constexpr int kPathRole = Qt::UserRole;
}

QString NormalDirectory(const QString& path) {
    return QDir::cleanPath(QDir(path).absolutePath());
}

DirectoryListBox::DirectoryListBox(QWidget* parent) : QTreeWidget(parent) {
    setHeaderHidden(true);
    setColumnCount(1);
    setRootIsDecorated(false);
    setItemsExpandable(false);
    setExpandsOnDoubleClick(false);
    setIndentation(12);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setUniformRowHeights(true);
    connect(this, &QTreeWidget::itemDoubleClicked, this,
            [this](QTreeWidgetItem* item) { openEntry(item); });
    // Until the owner moves it, the list shows the process's current directory.
    m_directory = NormalDirectory(QDir::currentPath());
    fill();
}

FolderRefusal DirectoryListBox::setDirectory(const QString& path) {
    const QString target = NormalDirectory(path);
    const FolderRefusal refusal = FolderAccessError(target);
    if (refusal.refused()) return refusal;
    m_directory = target;
    fill();
    emit directoryChanged(m_directory);
    return {};
}

QString DirectoryListBox::entryPath(const QTreeWidgetItem* item) {
    return item ? item->data(0, kPathRole).toString() : QString();
}

QTreeWidgetItem* DirectoryListBox::entryFor(const QString& path) const {
    for (QTreeWidgetItemIterator it(const_cast<DirectoryListBox*>(this)); *it; ++it)
        if (entryPath(*it) == path) return *it;
    return nullptr;
}

void DirectoryListBox::fill() {
    clear();
    const QIcon openIcon = style()->standardIcon(QStyle::SP_DirOpenIcon);
    const QIcon closedIcon = style()->standardIcon(QStyle::SP_DirClosedIcon);

    // The chain from the root down to the current directory.
    QStringList chain;
    for (QDir dir(m_directory);;) {
        chain.prepend(dir.absolutePath());
        if (dir.isRoot() || !dir.cdUp()) break;
    }
    QTreeWidgetItem* parentItem = nullptr;
    for (const QString& folder : chain) {
        const QString name =
            QDir(folder).isRoot() ? QDir::toNativeSeparators(folder) : QFileInfo(folder).fileName();
        auto* item = parentItem ? new QTreeWidgetItem(parentItem) : new QTreeWidgetItem(this);
        item->setText(0, name);
        item->setIcon(0, openIcon);
        item->setData(0, kPathRole, folder);
        parentItem = item;
    }
    QTreeWidgetItem* current = parentItem;

    const QFileInfoList subFolders =
        QDir(m_directory)
            .entryInfoList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name | QDir::IgnoreCase);
    for (const QFileInfo& sub : subFolders) {
        auto* item = new QTreeWidgetItem(current);
        item->setText(0, sub.fileName());
        item->setIcon(0, closedIcon);
        item->setData(0, kPathRole, NormalDirectory(sub.absoluteFilePath()));
    }
    expandAll();
    setCurrentItem(current);
}

void DirectoryListBox::openEntry(QTreeWidgetItem* item) {
    if (item) emit openRequested(entryPath(item));
}

void DirectoryListBox::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        openEntry(currentItem());
        event->accept();
        return;
    }
    QTreeWidget::keyPressEvent(event);
}

}  // namespace pmkest
