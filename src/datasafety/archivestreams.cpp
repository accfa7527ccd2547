#include "datasafety/archivestreams.h"

#include "datasafety/archiveformat.h"

#include <QIODevice>
#include <memory>
#include <zlib.h>

namespace {

constexpr qint64 kChunk = 256 * 1024;

using Buffer = std::unique_ptr<unsigned char[]>;
Buffer makeBuffer() {
    return Buffer(new unsigned char[kChunk]);
}

// zlib's stream state, released on every path.
template <bool Compress> class ZStream {
public:
    ZStream() {
        m_ok = (Compress ? deflateInit(&z, ArchiveCompressionLevel) : inflateInit(&z)) == Z_OK;
    }
    ~ZStream() {
        if (m_ok)
            Compress ? deflateEnd(&z) : inflateEnd(&z);
    }
    ZStream(const ZStream&) = delete;
    ZStream& operator=(const ZStream&) = delete;
    bool ok() const { return m_ok; }
    z_stream z{};

private:
    bool m_ok = false;
};
using Deflater = ZStream<true>;
using Inflater = ZStream<false>;

} // namespace

StreamResult DeflateStream(QIODevice& in, qint64 size, QIODevice& out, qint64& packed,
                           const StreamProgress& progress) {
    packed = 0;
    Deflater deflater;
    if (!deflater.ok())
        return StreamResult::Corrupt;
    z_stream& z = deflater.z;
    const Buffer input = makeBuffer();
    const Buffer output = makeBuffer();
    qint64 remaining = size;
    int flush = Z_NO_FLUSH;
    while (flush != Z_FINISH) {
        const qint64 want = qMin(remaining, kChunk);
        if (want > 0) {
            const qint64 got = in.read(reinterpret_cast<char*>(input.get()), want);
            if (got != want)
                return StreamResult::ReadFailed;
            remaining -= got;
        }
        flush = remaining == 0 ? Z_FINISH : Z_NO_FLUSH;
        z.next_in = input.get();
        z.avail_in = uInt(want);
        do {
            z.next_out = output.get();
            z.avail_out = uInt(kChunk);
            const int rc = deflate(&z, flush);
            if (rc == Z_STREAM_ERROR)
                return StreamResult::Corrupt;
            const qint64 produced = kChunk - z.avail_out;
            if (produced > 0 &&
                out.write(reinterpret_cast<const char*>(output.get()), produced) != produced)
                return StreamResult::WriteFailed;
            packed += produced;
        } while (z.avail_out == 0);
        if (progress)
            progress(size - remaining);
    }
    return StreamResult::Done;
}

StreamResult InflateStream(QIODevice& in, qint64 packed, qint64 size, QIODevice& out,
                           const StreamProgress& progress) {
    Inflater inflater;
    if (!inflater.ok())
        return StreamResult::Corrupt;
    z_stream& z = inflater.z;
    const Buffer input = makeBuffer();
    const Buffer output = makeBuffer();
    qint64 unread = packed;
    qint64 written = 0;
    int rc = Z_OK;
    bool outputFull = false; // zlib may hold more output without needing input
    while (rc != Z_STREAM_END) {
        if (z.avail_in == 0 && !outputFull) {
            if (unread == 0)
                return StreamResult::Corrupt; // the stream ends before its trailer
            const qint64 want = qMin(unread, kChunk);
            if (in.read(reinterpret_cast<char*>(input.get()), want) != want)
                return StreamResult::ReadFailed;
            unread -= want;
            z.next_in = input.get();
            z.avail_in = uInt(want);
        }
        z.next_out = output.get();
        z.avail_out = uInt(kChunk);
        rc = inflate(&z, Z_NO_FLUSH);
        if (rc == Z_BUF_ERROR && z.avail_in == 0) {
            outputFull = false; // nothing was pending: more input is needed
            continue;
        }
        if (rc != Z_OK && rc != Z_STREAM_END)
            return StreamResult::Corrupt;
        const qint64 produced = kChunk - z.avail_out;
        outputFull = z.avail_out == 0;
        if (written + produced > size)
            return StreamResult::Corrupt;
        if (produced > 0 &&
            out.write(reinterpret_cast<const char*>(output.get()), produced) != produced)
            return StreamResult::WriteFailed;
        written += produced;
        if (progress && produced > 0)
            progress(written);
    }
    // Bytes behind the trailer would belong to no file.
    if (z.avail_in != 0 || unread != 0 || written != size)
        return StreamResult::Corrupt;
    return StreamResult::Done;
}
