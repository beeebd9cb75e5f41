#pragma once

class CryptEngine;
class MessageCatalogue;

// Brings the engine up in its fixed order: empty key slots, catalogue A, catalogue B, then the
// program's own key from catalogue B. The catalogue becomes the source of every message text.
// Returns 0, or -1 when any step fails (its message has been shown), including a catalogue B
// whose entry 8 is empty.
int StartEngine(CryptEngine& engine, MessageCatalogue& catalogue);
