#pragma once

#include <QString>

// Texts of the two numbered message catalogues. Every message of the program is fetched
// through MsgA/MsgB, which ask the installed MessageTextSource (the loaded catalogues).
// Without one, a text is its catalogue key ("KbxMSGa0409"), so that a message still names
// which entry it is.

class MessageTextSource
{
public:
    // A source that goes away stops being the installed one.
    virtual ~MessageTextSource();
    virtual QString textA(int number) = 0;
    virtual QString textB(int number) = 0;

    // nullptr restores the key-only source.
    static void install(MessageTextSource* source);
};

QString MessageKeyA(int number); // "KbxMSGa" + number as %04d
QString MessageKeyB(int number);

QString MsgA(int number);
QString MsgB(int number);
