// Reading extended modules (XM).
//
// Fields are read in the file's order. Where a header stores its own size the
// reader continues at the header's start plus that size, but never at less
// than the bytes it has read from it (so files with the usual sizes - song
// header 276, pattern header 9, instrument header 263, or 29 + 4 for an
// instrument without samples, sample header 40 - read field after field), and
// sizes the file cannot hold are reported.
//
// Files of version 0x0104 hold the patterns, then each instrument with its
// sample headers followed by its sample data. Older files (0x0102, 0x0103)
// hold all instruments with their sample headers first, then the patterns,
// then the data of every sample in instrument and sample order; in 0x0102 a
// pattern header is 8 bytes, with one byte holding the rows minus one.
#include "music/byte_reader.h"
#include "music/module_reader.h"
#include "music/pattern_packing.h"
#include "music/reader_support.h"
#include "music/song.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

namespace music {

namespace {

constexpr std::size_t kSongHeaderStart = 60;      // offset of the song header size field
constexpr std::uint32_t kMinSongHeaderSize = 20;  // the fields up to the order table
constexpr std::uint32_t kPatternHeaderRead = 9;   // length, packing type, rows, packed size
constexpr std::uint32_t kShortPatternHeaderRead = 8; // 0x0102: the rows in one byte
constexpr std::uint16_t kVersionShortPatternHeader = 0x0102;
constexpr std::uint16_t kVersionInstrumentsFirst = 0x0103;
constexpr std::uint32_t kEmptyInstrumentRead = 33;
constexpr std::uint32_t kInstrumentFieldsEnd = 243; // last field read (reserved word) ends here
constexpr std::uint32_t kInstrumentHeaderRead = 263;
constexpr std::uint32_t kSampleHeaderRead = 40;
constexpr std::uint32_t kMaxSampleHeaderSize = 256;

class XmReader {
public:
    XmReader(Song& song, std::span<const std::uint8_t> file, LoadResult& result)
        : song_(song), file_(file), r_(file), result_(result)
    {
    }

    bool run()
    {
        if (!readHeader())
            return false;
        if (version_ == kVersionShortPatternHeader || version_ == kVersionInstrumentsFirst) {
            dataAfterPatterns_ = true;
            return readInstruments() && readPatterns() && readPendingSampleData();
        }
        return readPatterns() && readInstruments();
    }

private:
    bool readHeader()
    {
        if (file_.size() < kSongHeaderStart + 4 + kMinSongHeaderSize)
            return broken("The file ends inside the XM header (" + std::to_string(file_.size()) + " bytes).");
        r_.seek(17);
        r_.bytes(song_.moduleName.data(), 20);
        r_.skip(1);
        r_.bytes(song_.trackerName.data(), 20);
        version_ = r_.u16le();
        const std::uint32_t headerSize = r_.u32le();
        if (headerSize < kMinSongHeaderSize)
            return broken("XM header size " + std::to_string(headerSize) + " is too small (at least 20).");
        if (headerSize > file_.size() - kSongHeaderStart)
            return broken("XM header size " + std::to_string(headerSize) + " runs past the end of the file (" +
                          std::to_string(file_.size()) + " bytes).");
        const std::uint16_t songLength = r_.u16le();
        const std::uint16_t restart = r_.u16le();
        const std::uint16_t channels = r_.u16le();
        const std::uint16_t patterns = r_.u16le();
        const std::uint16_t instruments = r_.u16le();
        const std::uint16_t flags = r_.u16le();
        const std::uint16_t speed = r_.u16le();
        const std::uint16_t bpm = r_.u16le();
        r_.bytes(song_.orderTable.data(), std::min<std::size_t>(kOrderTableSize, headerSize - kMinSongHeaderSize));

        if (channels < 1 || channels > kMaxChannels)
            return broken("The module has " + std::to_string(channels) + " channels; 1 to 32 can be played.");
        if (patterns > kMaxPatterns)
            return broken("The module has " + std::to_string(patterns) + " patterns; at most 256 can be read.");
        if (instruments > kMaxInstruments)
            return broken("The module has " + std::to_string(instruments) +
                          " instruments; at most 256 can be read.");
        song_.numChannels = static_cast<std::int16_t>(channels);
        song_.numPatterns = static_cast<std::int16_t>(patterns);
        song_.numInstruments = static_cast<std::int16_t>(instruments);
        song_.songLength = static_cast<std::int16_t>(std::min<int>(songLength, kOrderTableSize));
        if (songLength > kOrderTableSize)
            warn("Song length " + std::to_string(songLength) + " is more than the 256 order positions; 256 are played.");
        // A restart position outside the song would index past the order table.
        song_.restartPosition = static_cast<std::int16_t>(restart < song_.songLength ? restart : 0);
        song_.frequencyMode = (flags & 1) ? kFrequencyLinear : kFrequencyAmiga;
        song_.speed = static_cast<std::int16_t>(std::min<int>(speed, 255));
        song_.bpm = static_cast<std::int16_t>(std::min<int>(bpm, 999));
        r_.seek(kSongHeaderStart + headerSize);
        return true;
    }

    bool readPatterns()
    {
        for (int i = 0; i < song_.numPatterns; ++i) {
            const std::size_t start = r_.position();
            if (r_.remaining() < kShortPatternHeaderRead)
                return broken("The file ends inside the header of pattern " + std::to_string(i) + ".");
            const bool shortHeader = version_ == kVersionShortPatternHeader;
            const std::uint32_t headerRead = shortHeader ? kShortPatternHeaderRead : kPatternHeaderRead;
            const std::uint32_t headerLength = r_.u32le();
            r_.u8(); // packing type
            const unsigned rows = shortHeader ? r_.u8() + 1u : r_.u16le();
            const std::uint16_t packedSize = r_.u16le();
            const std::size_t skip = std::max(headerLength, headerRead);
            if (skip > file_.size() - start)
                return broken("Pattern " + std::to_string(i) + " has a header length of " +
                              std::to_string(headerLength) + ", past the end of the file.");
            if (rows > kMaxRows)
                return broken("Pattern " + std::to_string(i) + " has " + std::to_string(rows) +
                              " rows; at most 256 can be played.");
            r_.seek(start + skip);
            if (packedSize > r_.remaining())
                return broken("The file ends inside the data of pattern " + std::to_string(i) + ".");
            Pattern& pattern = song_.patterns[static_cast<std::size_t>(i)];
            pattern.rows = static_cast<std::int16_t>(rows);
            pattern.packedSize = packedSize;
            pattern.channels = song_.numChannels;
            pattern.data = allocate(packedSize);
            if (!pattern.data)
                return false;
            r_.bytes(pattern.data, packedSize);
            checkPackedSize(pattern, result_);
        }
        return true;
    }

    bool readInstruments()
    {
        for (int i = 0; i < song_.numInstruments; ++i) {
            Instrument& inst = song_.instruments[static_cast<std::size_t>(i)];
            const std::size_t start = r_.position();
            if (r_.remaining() < 29) {
                warnEnded(i);
                return true;
            }
            const std::uint32_t headerSize = r_.u32le();
            inst.headerSize = static_cast<std::int32_t>(headerSize);
            r_.bytes(inst.name.data(), inst.name.size());
            inst.type = r_.u8();
            const std::uint16_t numSamples = r_.u16le();
            if (numSamples > kSamplesPerInstrument)
                return broken("Instrument " + std::to_string(i + 1) + " has " + std::to_string(numSamples) +
                              " samples; at most 32 can be read.");
            inst.numSamples = static_cast<std::int16_t>(numSamples);
            if (numSamples == 0) {
                r_.u32le(); // sample header size
                const std::size_t skip = std::max(headerSize, kEmptyInstrumentRead);
                if (skip > file_.size() - start) {
                    // Nothing of this instrument is missing; what follows is.
                    if (i + 1 < song_.numInstruments)
                        warnEnded(i + 1);
                    return true;
                }
                r_.seek(start + skip);
                continue;
            }
            if (!readInstrumentHeader(inst, start, headerSize)) {
                inst = Instrument{};
                warnEnded(i);
                return true;
            }
            bool ended = false;
            if (!readSamples(inst, i, ended))
                return false;
            if (ended)
                return true;
        }
        return true;
    }

    // Reads the fields after the sample count and moves to the first sample
    // header. False when the file cannot hold the header.
    bool readInstrumentHeader(Instrument& inst, std::size_t start, std::uint32_t headerSize)
    {
        const std::size_t skip = headerSize >= kInstrumentFieldsEnd ? headerSize : kInstrumentHeaderRead;
        if (skip > file_.size() - start)
            return false;
        inst.inUse = 1;
        sampleHeaderSize_ = r_.u32le();
        r_.bytes(inst.keymap.data(), inst.keymap.size());
        for (std::uint8_t& k : inst.keymap)
            if (k >= kSamplesPerInstrument)
                k = 0; // sample numbers above 31 name no sample
        for (EnvelopePoint& p : inst.volumeEnvelope.points) {
            p.x = static_cast<std::int16_t>(r_.u16le());
            p.y = static_cast<std::int16_t>(r_.u16le());
        }
        for (EnvelopePoint& p : inst.panningEnvelope.points) {
            p.x = static_cast<std::int16_t>(r_.u16le());
            p.y = static_cast<std::int16_t>(r_.u16le());
        }
        Envelope& vol = inst.volumeEnvelope;
        Envelope& pan = inst.panningEnvelope;
        vol.numPoints = r_.u8();
        pan.numPoints = r_.u8();
        vol.sustainPoint = r_.u8();
        vol.loopStartPoint = r_.u8();
        vol.loopEndPoint = r_.u8();
        pan.sustainPoint = r_.u8();
        pan.loopStartPoint = r_.u8();
        pan.loopEndPoint = r_.u8();
        vol.type = r_.u8();
        pan.type = r_.u8();
        inst.vibratoType = r_.u8();
        inst.vibratoSweep = r_.u8();
        inst.vibratoDepth = r_.u8();
        inst.vibratoRate = r_.u8();
        inst.fadeOut = r_.u16le();
        inst.reserved = r_.u16le();
        for (Envelope* e : {&vol, &pan}) {
            e->numPoints = std::min<std::uint8_t>(e->numPoints, kEnvelopePoints);
            decodeEnvelopeType(*e);
        }
        r_.seek(start + skip);
        return true;
    }

    // The fields of a sample header that are turned into the sample's
    // fields once its data has been read.
    struct RawSample {
        std::uint32_t length = 0, loopStart = 0, loopLength = 0;
        std::uint8_t type = 0;
    };
    struct PendingInstrument {
        int index = 0;
        std::vector<RawSample> raw;
    };

    // Reads the instrument's sample headers, then (in a 0x0104 file) their
    // data; an older file's data comes after the patterns, so the headers
    // wait for it. `ended` is set when the file ends inside them.
    bool readSamples(Instrument& inst, int index, bool& ended)
    {
        const std::uint32_t headerBytes =
            (sampleHeaderSize_ >= kSampleHeaderRead && sampleHeaderSize_ <= kMaxSampleHeaderSize) ? sampleHeaderSize_
                                                                                                  : kSampleHeaderRead;
        PendingInstrument pending{index, std::vector<RawSample>(static_cast<std::size_t>(inst.numSamples))};
        for (int s = 0; s < inst.numSamples; ++s) {
            const std::size_t start = r_.position();
            if (r_.remaining() < headerBytes) {
                inst = Instrument{};
                warnEnded(index);
                ended = true;
                return true;
            }
            Sample& sample = inst.samples[static_cast<std::size_t>(s)];
            RawSample& raw = pending.raw[static_cast<std::size_t>(s)];
            raw.length = r_.u32le();
            raw.loopStart = r_.u32le();
            raw.loopLength = r_.u32le();
            sample.volume = std::min<std::uint8_t>(r_.u8(), 64);
            sample.finetune = static_cast<std::int8_t>(r_.u8());
            raw.type = r_.u8();
            sample.panning = r_.u8();
            sample.relativeNote = static_cast<std::int8_t>(r_.u8());
            sample.reserved = r_.u8();
            r_.bytes(sample.name.data(), sample.name.size());
            r_.seek(start + headerBytes);
        }
        if (dataAfterPatterns_) {
            pending_.push_back(std::move(pending));
            return true;
        }
        return readSampleData(inst, pending, ended);
    }

    // An older file's sample data, after its patterns: every instrument's in turn.
    bool readPendingSampleData()
    {
        bool ended = false;
        for (const PendingInstrument& pending : pending_)
            if (!readSampleData(song_.instruments[static_cast<std::size_t>(pending.index)], pending, ended))
                return false;
        return true;
    }

    bool readSampleData(Instrument& inst, const PendingInstrument& pending, bool& ended)
    {
        for (int s = 0; s < inst.numSamples; ++s) {
            Sample& sample = inst.samples[static_cast<std::size_t>(s)];
            const RawSample& raw = pending.raw[static_cast<std::size_t>(s)];
            // A file cut short inside its sample data keeps what is there.
            std::size_t bytes = raw.length;
            if (bytes > r_.remaining()) {
                if (!ended)
                    warn("The file ends inside the sample data of instrument " + std::to_string(pending.index + 1) +
                         "; the samples are cut short.");
                bytes = r_.remaining();
                ended = true;
            }
            std::uint8_t* block = allocate(bytes + 256);
            if (!block)
                return false;
            std::memset(block, 0, bytes + 256);
            sample.data = block + 128;
            r_.bytes(block + 128, bytes);

            std::int64_t length = static_cast<std::int64_t>(bytes);
            std::int64_t loopStart = raw.loopStart;
            std::int64_t loopEnd = loopStart + raw.loopLength;
            sample.bits = (raw.type & 0x10) ? 16 : 8;
            if (sample.bits == 16) {
                length /= 2;
                loopStart /= 2;
                loopEnd /= 2;
            }
            sample.length = static_cast<std::int32_t>(length);
            sample.loopStart = static_cast<std::int32_t>(std::min<std::int64_t>(loopStart, INT32_MAX));
            sample.loopEnd = static_cast<std::int32_t>(std::min<std::int64_t>(loopEnd, INT32_MAX));
            sample.loopType = raw.type & 3;
            if (sample.length != 0) {
                sample.hasData = 1;
                undoDelta(block + 128, sample.length, sample.bits);
            }
            sanitiseLoop(sample);
        }
        return true;
    }

    std::uint8_t* allocate(std::size_t n) { return allocateFromPool(song_, n, result_); }
    bool broken(const std::string& text) { return reportBroken(result_, text); }
    void warn(const std::string& text) { reportWarning(result_, text); }
    void warnEnded(int instrumentIndex)
    {
        warn("The file ends before instrument " + std::to_string(instrumentIndex + 1) + " of " +
             std::to_string(song_.numInstruments) + "; the instruments from there on are empty.");
    }

    Song& song_;
    std::span<const std::uint8_t> file_;
    ByteReader r_;
    LoadResult& result_;
    std::uint32_t sampleHeaderSize_ = kSampleHeaderRead;
    std::uint16_t version_ = 0;
    bool dataAfterPatterns_ = false;
    std::vector<PendingInstrument> pending_;
};

} // namespace

void undoDelta(std::uint8_t* data, std::int32_t frames, std::int32_t bits)
{
    if (bits == 16) {
        std::uint16_t acc = 0;
        for (std::int32_t i = 0; i < frames; ++i) {
            const std::uint16_t v = static_cast<std::uint16_t>(data[2 * i] | (data[2 * i + 1] << 8));
            acc = static_cast<std::uint16_t>(acc + v);
            data[2 * i] = static_cast<std::uint8_t>(acc);
            data[2 * i + 1] = static_cast<std::uint8_t>(acc >> 8);
        }
    } else {
        std::uint8_t acc = 0;
        for (std::int32_t i = 0; i < frames; ++i) {
            acc = static_cast<std::uint8_t>(acc + data[i]);
            data[i] = acc;
        }
    }
}

LoadResult readXm(Song& song, std::span<const std::uint8_t> file)
{
    LoadResult result;
    song.clearModule();
    XmReader reader(song, file, result);
    if (!reader.run())
        song.clearModule();
    return result;
}

} // namespace music
