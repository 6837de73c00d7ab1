#include "dialogs/DriveListBox.h"

#include "dialogs/DirectoryListing.h"

#include <QDir>
#include <QSignalBlocker>
#include <QStorageInfo>

#include <algorithm>

QList<DriveVolume> readyDriveVolumes()
{
    QList<DriveVolume> drives;
    const QList<QStorageInfo> volumes = QStorageInfo::mountedVolumes();
    for (const QStorageInfo &volume : volumes) {
        // A volume without a medium, one we may not read, or a file bind-mounted over another is
        // no drive to browse.
        if (!volume.isValid() || !volume.isReady() || !isOpenableDirectory(volume.rootPath()))
            continue;
        const QString root = displayDirectoryPath(volume.rootPath());
        const bool known = std::any_of(drives.cbegin(),
                                       drives.cend(),
                                       [&root](const DriveVolume &d) { return d.rootPath == root; });
        if (!known)
            drives.append({root, volume.name()});
    }
    std::sort(drives.begin(), drives.end(), [](const DriveVolume &left, const DriveVolume &right) {
        return left.rootPath.compare(right.rootPath, Qt::CaseInsensitive) < 0;
    });
    return drives;
}

QString driveRootOf(const QString &path)
{
    const QStorageInfo volume(path);
    if (volume.isValid())
        return displayDirectoryPath(volume.rootPath());
    return displayDirectoryPath(QDir(path).absolutePath()).section(QDir::separator(), 0, 0)
           + QDir::separator();
}

DriveListBox::DriveListBox(QWidget *parent)
    : QComboBox(parent)
{
    setEditable(false);
    refreshDrives();
    connect(this, &QComboBox::activated, this, [this](int index) {
        emit driveChanged(itemData(index).toString());
    });
}

void DriveListBox::refreshDrives()
{
    const QString chosen = drive();
    const QSignalBlocker blocker(this);
    clear();
    const QList<DriveVolume> drives = readyDriveVolumes();
    for (const DriveVolume &volume : drives)
        addDrive(volume);
    if (!chosen.isEmpty())
        setDrive(chosen);
}

QString DriveListBox::drive() const
{
    return currentData().toString();
}

void DriveListBox::setDrive(const QString &rootPath)
{
    const QSignalBlocker blocker(this);
    int index = findData(rootPath);
    if (index < 0) {
        addDrive({rootPath, {}});
        index = count() - 1;
    }
    setCurrentIndex(index);
}

void DriveListBox::showPopup()
{
    // Media come and go while the dialog is open; offer what is mounted now.
    refreshDrives();
    QComboBox::showPopup();
}

void DriveListBox::addDrive(const DriveVolume &volume)
{
    const QString text = volume.label.isEmpty()
                             ? volume.rootPath
                             : QStringLiteral("%1 [%2]").arg(volume.rootPath, volume.label);
    addItem(text, volume.rootPath);
}
