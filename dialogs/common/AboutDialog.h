#pragma once

#include "dialogs/common/OpeningDialog.h"

class QLabel;

// The version dialog: product, version, and a link to the maker's home page.
class AboutDialog : public OpeningDialog
{
public:
    static const QString HomePage;

    explicit AboutDialog(QWidget* parent = nullptr);

    // "V" and the version of this build (the application's version, else the settings version).
    static QString VersionText();

protected:
    bool initDialog() override;

private:
    QLabel* m_product;
    QLabel* m_detail;
};
