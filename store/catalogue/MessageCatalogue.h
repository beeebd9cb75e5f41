#pragma once

#include "util/MessageText.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QStringView>

class CryptEngine;

// The two numbered message catalogues. Both are kept among the program's resources as
// UTF-16LE text enciphered under a temporary key: catalogue A under the built-in passphrase,
// catalogue B under the text of message A-588.
//
// An entry is the key ("KbxMSGa" or "KbxMSGb" and four digits), then anything, then the text
// in double quotes; a backslash followed by "n" in a text is a line break.
class MessageCatalogue : public MessageTextSource
{
public:
    static constexpr int KeyLength = 11;
    static constexpr qsizetype MaxCatalogueBBytes = 50000;
    static constexpr int CatalogueBKeyMessage = 588;

    static const QString ResourceA; // ":/kurabox/catalogue_a.bin"
    static const QString ResourceB;

    explicit MessageCatalogue(CryptEngine& engine);

    // Load from the program's resources.
    int LoadCatalogueA();
    int LoadCatalogueB();
    // Load from enciphered bytes (a missing resource is an empty array).
    int LoadCatalogueA(const QByteArray& enciphered);
    int LoadCatalogueB(const QByteArray& enciphered);

    QString m_GetMsgA(int number);
    QString m_GetMsgB(int number);

    QString textA(int number) override { return m_GetMsgA(number); }
    QString textB(int number) override { return m_GetMsgB(number); }

    // Appends the keys and texts of every entry with the prefix, in catalogue order.
    static void ParseEntries(QStringView text, QStringView prefix, QStringList* keys, QStringList* texts);
    // The stored form of a plain catalogue: UTF-16LE, zero-filled to whole cipher blocks.
    static QByteArray PlainImage(const QString& text);

private:
    static QString lookup(const QStringList& keys, const QStringList& texts, const QString& key);

    CryptEngine& m_engine;
    QStringList m_keysA;
    QStringList m_textsA;
    QByteArray m_storedB; // every byte kept increased by 1
};
