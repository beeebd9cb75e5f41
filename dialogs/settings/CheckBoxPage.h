#pragma once

#include "store/settings/SettingsFile.h"

#include <QList>
#include <QWidget>

class QCheckBox;

// A page of the settings sheet made of check boxes, each bound to one integer key of the
// settings record. A box is ticked when its key is 1 and stores 1 or 0; an inverted box is
// ticked when its key is not 1 and stores 0 when ticked, 1 when cleared. Each box is named after
// its key. The page reads the record when it is first shown and writes only then.
class CheckBoxPage : public QWidget
{
public:
    struct Binding
    {
        const char* key; // the field's name, also the box's object name
        const char16_t* text;
        int SettingsRecord::*field;
        bool inverted = false;
    };

    CheckBoxPage(const QString& title, const QList<Binding>& bindings, QWidget* parent = nullptr);

    QString title() const { return m_title; }
    // Sets the boxes from the record; from then on the page counts as shown.
    void load(const SettingsRecord& record);
    bool isLoaded() const { return m_loaded; }
    // Sets each bound key from its box; nothing when the page was never shown.
    void store(SettingsRecord& record) const;

protected:
    QCheckBox* boxOf(const char* key) const;
    // The record as it was when the page was shown.
    const SettingsRecord& loaded() const { return m_record; }

private:
    QString m_title;
    QList<Binding> m_bindings;
    QList<QCheckBox*> m_boxes; // parallel to m_bindings
    SettingsRecord m_record;
    bool m_loaded = false;
};
