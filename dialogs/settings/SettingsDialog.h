#pragma once

#include "dialogs/settings/WorkingFolderSettingsPage.h"
#include "store/settings/SettingsFile.h"

#include <QDialog>

class CheckBoxPage;
class QTabWidget;
class RegisteredFolderTable;

// What the settings sheet edits: the settings record and the working-folder choice of the
// common data.
struct SettingsSheetValues
{
    SettingsRecord settings;
    WorkingFolderChoice workingFolder;
};

// "環境設定": the four settings pages in one sheet without an apply button. The caller fills
// `values` and `firstPage`, runs it and, after OK, reads the edited values and the page that was
// showing. A page reads its values when it is first shown and writes them back on OK; a page
// never shown changes nothing, and Cancel changes nothing at all.
class SettingsDialog : public QDialog
{
public:
    enum Page
    {
        DisplayPage = 0,       // DisplaySettingsPage
        ActionPage = 1,        // ActionSettingsPage
        FolderPage = 2,        // FolderSettingsPage
        WorkingFolderPage = 3, // WorkingFolderSettingsPage
    };

    explicit SettingsDialog(const RegisteredFolderTable& folders, QWidget* parent = nullptr);

    SettingsSheetValues values;
    int firstPage = DisplayPage;

    QTabWidget* pages() const { return m_tabs; }
    void accept() override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void loadPage(int index);

    QTabWidget* m_tabs;
    QList<CheckBoxPage*> m_checkPages; // pages 0 to 2
    WorkingFolderSettingsPage* m_workingPage;
    bool m_opened = false;
};
