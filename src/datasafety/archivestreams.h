#pragma once

#include <QtGlobal>
#include <functional>

class QIODevice;

// The stored form of one file: a single zlib stream (RFC 1950) at level 9.
// Both directions work in chunks, so memory stays bounded whatever the size.

enum class StreamResult {
    Done,
    ReadFailed,  // the source ended early or could not be read
    WriteFailed, // the destination took fewer bytes than given
    Corrupt,     // the stream is damaged or inflates to another length
};

// Called with the bytes of the file handled so far.
using StreamProgress = std::function<void(qint64 done)>;

// Reads exactly `size` bytes of `in` and appends their stream to `out`;
// `packed` receives the stream's length.
StreamResult DeflateStream(QIODevice& in, qint64 size, QIODevice& out, qint64& packed,
                           const StreamProgress& progress = {});

// Reads exactly `packed` bytes of `in`, which must hold one complete stream of
// exactly `size` bytes, and writes them to `out`; never more than `size`.
StreamResult InflateStream(QIODevice& in, qint64 packed, qint64 size, QIODevice& out,
                           const StreamProgress& progress = {});
