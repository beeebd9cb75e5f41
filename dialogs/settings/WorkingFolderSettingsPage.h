#pragma once

#include <QString>
#include <QWidget>

class QLineEdit;
class QPushButton;
class QRadioButton;
class RegisteredFolderTable;

// Where the working folder is kept, as the common data records it.
struct WorkingFolderChoice
{
    QString AngoTempFolderFlg = QStringLiteral("0"); // "0": the default location, "1": a chosen one
    QString AngoTempFolder;                          // the folder
};

// "作業用フォルダー設定": the default location or one the user chooses with the folder browser
// (the path box cannot be typed into). The working folder moves only while no registered folder
// keeps a store folder in the place it is leaving: switching away from a folder in use puts the
// selection back and names those folders. The browser refuses drive roots, disks that
// are not fixed and, unless the user agrees, FAT volumes. The page reads its values when it is
// first shown and writes only then.
class WorkingFolderSettingsPage : public QWidget
{
public:
    explicit WorkingFolderSettingsPage(const RegisteredFolderTable& folders, QWidget* parent = nullptr);

    QString title() const { return QStringLiteral("作業用フォルダー設定"); }
    void load(const WorkingFolderChoice& choice);
    bool isLoaded() const { return m_loaded; }
    // The default location with its flag "0", or the path box with the flag "1"; nothing when
    // the page was never shown.
    void store(WorkingFolderChoice& choice) const;

private:
    void defaultClicked();
    void specifiedClicked();
    void browseClicked();
    // A switch away from the folder `leaving`: refused while registered folders keep their work
    // there (the `previous` choice selected again, A-326 with their roots), otherwise the path
    // box and its button follow the new choice.
    void stayUnlessFree(const QString& leaving, QRadioButton* previous, bool pathOn);
    void enablePath(bool on);

    const RegisteredFolderTable& m_folders;
    QRadioButton* m_default;
    QRadioButton* m_specified;
    QLineEdit* m_path;
    QPushButton* m_browse;
    QLineEdit* m_defaultPath;
    bool m_byDefault = true; // the choice the radio buttons stand for
    bool m_loaded = false;
};
