#pragma once

#include <QComboBox>
#include <QList>
#include <QString>

// A drive as the drive list offers it: the root of a mounted volume (a drive letter on Windows).
struct DriveVolume
{
    QString rootPath; // native separators, with its trailing separator
    QString label;
};

// The mounted volumes that are ready to be read, sorted by their roots.
[[nodiscard]] QList<DriveVolume> readyDriveVolumes();

// The root of the volume that holds a path, in the drive list's form.
[[nodiscard]] QString driveRootOf(const QString &path);

// The drop-down of the machine's drives (Drive1).
class DriveListBox final : public QComboBox
{
    Q_OBJECT

public:
    explicit DriveListBox(QWidget *parent = nullptr);

    // Lists the drives again, keeping the chosen one.
    void refreshDrives();

    [[nodiscard]] QString drive() const;
    // Chooses a drive without announcing it; one not in the list is added.
    void setDrive(const QString &rootPath);

signals:
    // The user chose another drive.
    void driveChanged(const QString &rootPath);

protected:
    void showPopup() override;

private:
    void addDrive(const DriveVolume &volume);
};
