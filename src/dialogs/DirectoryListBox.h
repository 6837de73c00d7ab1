#pragma once

#include <QListWidget>
#include <QString>

// The directory list (Dir1): the directories from the root down to the open one, then the open
// one's subdirectories, each indented one step deeper than its parent. Double-click or Enter
// opens the directory of a row; a single click only highlights it.
class DirectoryListBox final : public QListWidget
{
    Q_OBJECT

public:
    static constexpr int PathRole = Qt::UserRole;
    static constexpr int LevelRole = Qt::UserRole + 1;

    explicit DirectoryListBox(QWidget *parent = nullptr);

    [[nodiscard]] QString path() const { return m_path; }
    // Opens a directory. One that cannot be read now changes nothing and gives false.
    bool setPath(const QString &path);
    // Rows of the open directory's chain, for the directory at a row.
    [[nodiscard]] QString pathAt(int row) const;

signals:
    // Another directory is open.
    void pathChanged(const QString &path);
    // The user asked for a directory that cannot be read; the open one stays.
    void openFailed(const QString &path);

protected:
    void keyPressEvent(QKeyEvent *event) override;

private:
    void openRow(int row);
    void fillRows();

    QString m_path;
};
