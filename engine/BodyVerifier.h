#pragma once

#include "engine/KeySlot.h"

#include <QtGlobal>

#include <memory>

// Checks a container's body while it is still being written, on a thread of its own: each part
// of the body is read back from the container once it is on disk, deciphered with a cipher
// context of the verifier's own, inflated, and compared byte for byte with the source file.
// What it proves is what reading the whole container back afterwards would: the written body
// gives the source again. The writer goes on compressing meanwhile.
//
// The verifier reads both files with pread only, so the writer's file positions are left
// alone. Its buffers are a few chunks, whatever the file size. The destructor stops the thread
// and waits for it, so a cancelled or failed write leaves no thread behind.
class BodyVerifier
{
public:
    // `container` is open for reading and writing, its body starts at `bodyOffset`, enciphered
    // as one CBC chain with `key` from `iv`; `source` is the plain file, read from offset 0.
    BodyVerifier(int container, qint64 bodyOffset, const AesKey& key, const AesIv& iv, int source);
    ~BodyVerifier();
    BodyVerifier(const BodyVerifier&) = delete;
    BodyVerifier& operator=(const BodyVerifier&) = delete;

    // The first `bodyBytes` bytes of the body are on disk.
    void written(qint64 bodyBytes);
    // The body is complete: `bodyBytes` long, its last `fillCount` bytes fill. Waits for the
    // check, dispatching events meanwhile, and tells whether the body inflated to exactly the
    // `plainSize` bytes of the source and its stream ended where the body does.
    bool finish(qint64 bodyBytes, int fillCount, qint64 plainSize);

private:
    struct State;
    std::unique_ptr<State> m_state;
};
