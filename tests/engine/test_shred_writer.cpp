#include "LoopMount.h"
#include "TempDir.h"
#include "TmpfsMount.h"
#include "engine/AesBlockTransform.h"
#include "engine/AlgorithmCollection.h"
#include "engine/PassReader.h"
#include "engine/PassStream.h"
#include "engine/ShredWriter.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <functional>
#include <gtest/gtest.h>
#include <openssl/evp.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

using cv::ShredWriter;
using Bytes = std::vector<std::uint8_t>;

namespace {

constexpr std::int64_t MiB = 1048576;

// Passes calls through to the kernel and records them, so tests can see block sizes, offsets,
// data and where the syncs fall; it can also fail a chosen call.
class RecordingIo : public cv::FileIo
{
public:
    struct Event
    {
        char kind; // 'w' write, 's' sync
        off_t offset = 0;
        std::size_t length = 0;
        Bytes head; // up to the first 256 bytes written
    };
    std::vector<Event> events;
    int failWriteNumber = -1; // 0-based index among writes
    bool failSync = false;

    bool writeAll(int fd, const void* data, std::size_t length, off_t offset) override
    {
        const auto* bytes = static_cast<const std::uint8_t*>(data);
        const int number = writeCount()++;
        events.push_back({'w', offset, length, Bytes(bytes, bytes + std::min<std::size_t>(length, 256))});
        if (number == failWriteNumber) {
            errno = ENOSPC;
            return false;
        }
        return FileIo::writeAll(fd, data, length, offset);
    }
    bool dataSync(int fd) override
    {
        events.push_back({'s', 0, 0, {}});
        if (failSync) {
            errno = EIO;
            return false;
        }
        return FileIo::dataSync(fd);
    }
    std::string shape() const
    {
        std::string s;
        for (const auto& e : events)
            s.push_back(e.kind);
        return s;
    }
    std::vector<Event> writes() const
    {
        std::vector<Event> w;
        for (const auto& e : events)
            if (e.kind == 'w')
                w.push_back(e);
        return w;
    }

private:
    int& writeCount()
    {
        static thread_local int count = 0;
        if (events.empty())
            count = 0;
        return count;
    }
};

class Progress : public cv::ShredWriterDelegate
{
public:
    std::vector<std::int64_t> reports;
    std::vector<std::int64_t> grown;
    void fileGrew(std::int64_t bytes) override { grown.push_back(bytes); }
    std::function<void()> onReport;
    void writtenBytes(std::int64_t bytes) override
    {
        reports.push_back(bytes);
        if (onReport)
            onReport();
    }
};

struct FileUnderTest
{
    cv::test::TempDir dir;
    std::string path = dir / "subject.bin";
    int fd = -1;

    explicit FileUnderTest(const Bytes& content, int flags = O_RDWR)
    {
        cv::test::writeFile(path, content);
        fd = ::open(path.c_str(), flags | O_CLOEXEC);
    }
    ~FileUnderTest() { ::close(fd); }
};

std::shared_ptr<cv::Algorithm> method(std::uint64_t id)
{
    static const cv::AlgorithmCollection collection;
    return collection.findByIdentifier(id);
}

} // namespace

TEST(ShredWriter, WritesEveryPassInBlocksAndSyncsAfterEachPass)
{
    const std::size_t size = 2 * MiB + MiB / 2;
    FileUnderTest file(Bytes(size, 0x11));
    RecordingIo io;
    Progress progress;
    ShredWriter writer(method(13), ShredWriter::kFileBlockSize, io);
    writer.setDelegate(&progress);

    EXPECT_EQ(writer.shredInFile(file.fd, static_cast<std::int64_t>(size)), ShredWriter::Outcome::Completed);
    EXPECT_EQ(io.shape(), "wwwswwwswwws") << "three blocks per pass, a sync closing each pass";
    const std::vector<std::int64_t> perPass{MiB, MiB, MiB / 2};
    std::vector<std::int64_t> expected;
    for (int pass = 0; pass < 3; ++pass)
        expected.insert(expected.end(), perPass.begin(), perPass.end());
    EXPECT_EQ(progress.reports, expected);
    const auto writes = io.writes();
    EXPECT_EQ(writes[2].offset, off_t(2 * MiB));
    EXPECT_EQ(writes[3].offset, 0) << "every pass starts at the beginning";
    EXPECT_EQ(writes[4].head.front(), 0x35);

    const Bytes after = cv::test::readFile(file.path);
    EXPECT_EQ(after, Bytes(size, 0xCA)) << "the last pass covers the file, no more, no less";
}

TEST(ShredWriter, NeverWritesPastTheGivenSizeAndWritesNothingForEmptyFiles)
{
    {
        FileUnderTest file(Bytes(100, 0x11));
        RecordingIo io;
        ShredWriter writer(method(15), ShredWriter::kFileBlockSize, io);
        EXPECT_EQ(writer.shredInFile(file.fd, 60.9), ShredWriter::Outcome::Completed);
        Bytes expected(60, 0xFF);
        expected.resize(100, 0x11);
        EXPECT_EQ(cv::test::readFile(file.path), expected);
    }
    {
        FileUnderTest file(Bytes{});
        RecordingIo io;
        Progress progress;
        ShredWriter writer(method(2), ShredWriter::kFileBlockSize, io);
        writer.setDelegate(&progress);
        EXPECT_EQ(writer.shredInFile(file.fd, 0), ShredWriter::Outcome::Completed);
        EXPECT_TRUE(io.events.empty());
        EXPECT_TRUE(progress.reports.empty());
    }
    {
        RecordingIo io;
        ShredWriter writer(method(0), ShredWriter::kFileBlockSize, io);
        FileUnderTest file(Bytes(10, 1));
        EXPECT_EQ(writer.shredInFile(file.fd, 10), ShredWriter::Outcome::Completed)
            << "placeholder: no passes";
        EXPECT_TRUE(io.events.empty());
    }
}

TEST(ShredWriter, CancelStopsAfterTheCurrentBlock)
{
    FileUnderTest file(Bytes(3 * MiB, 0x11));
    RecordingIo io;
    Progress progress;
    ShredWriter writer(method(3), ShredWriter::kFileBlockSize, io);
    writer.setDelegate(&progress);
    progress.onReport = [&] {
        if (progress.reports.size() == 2)
            writer.cancel();
    };
    EXPECT_EQ(writer.shredInFile(file.fd, 3 * MiB), ShredWriter::Outcome::Cancelled);
    EXPECT_EQ(io.shape(), "ww") << "no further block and no further pass";
    EXPECT_TRUE(writer.isCancelled());
}

TEST(ShredWriter, AFailingWriteOrSyncEndsTheFileAsAFailure)
{
    {
        SCOPED_TRACE("write fails in the second pass");
        FileUnderTest file(Bytes(3 * MiB, 0x11));
        RecordingIo io;
        io.failWriteNumber = 4;
        ShredWriter writer(method(17), ShredWriter::kFileBlockSize, io);
        EXPECT_EQ(writer.shredInFile(file.fd, 3 * MiB), ShredWriter::Outcome::Failed);
        EXPECT_EQ(writer.lastError(), ENOSPC);
        EXPECT_EQ(io.shape(), "wwwsww") << "nothing is written after the failure";
    }
    {
        SCOPED_TRACE("sync fails");
        FileUnderTest file(Bytes(10, 0x11));
        RecordingIo io;
        io.failSync = true;
        ShredWriter writer(method(17), ShredWriter::kFileBlockSize, io);
        EXPECT_EQ(writer.shredInFile(file.fd, 10), ShredWriter::Outcome::Failed);
        EXPECT_EQ(writer.lastError(), EIO);
        EXPECT_EQ(io.shape(), "ws");
    }
    {
        SCOPED_TRACE("a device that is full, through the real system calls");
        const int full = ::open("/dev/full", O_WRONLY | O_CLOEXEC);
        ASSERT_GE(full, 0);
        ShredWriter writer(method(16), ShredWriter::kFileBlockSize);
        EXPECT_EQ(writer.shredInFile(full, 4096), ShredWriter::Outcome::Failed);
        EXPECT_EQ(writer.lastError(), ENOSPC);
        ::close(full);
    }
}

namespace {

// Encrypts with the cipher pass's key rules, so that its decryption of the result is valid.
Bytes encryptForKey(const std::string& key, const Bytes& plain)
{
    std::uint8_t k[32] = {};
    std::memcpy(k, key.data(), key.size());
    const std::uint8_t iv[16] = {};
    Bytes out(plain.size() + 16);
    int n1 = 0, n2 = 0;
    EVP_CIPHER_CTX* ctx = EVP_CIPHER_CTX_new();
    EVP_EncryptInit_ex(ctx, EVP_aes_256_cbc(), nullptr, k, iv);
    EVP_EncryptUpdate(ctx, out.data(), &n1, plain.data(), static_cast<int>(plain.size()));
    EVP_EncryptFinal_ex(ctx, out.data() + n1, &n2);
    EVP_CIPHER_CTX_free(ctx);
    out.resize(static_cast<std::size_t>(n1 + n2));
    return out;
}

// A 64-byte block whose decryption under key has no valid padding.
Bytes undecryptableBlock(const std::string& key)
{
    cv::AesBlockTransform transform(key);
    Bytes out;
    for (std::uint8_t seed = 0;; ++seed) {
        Bytes block(64);
        for (std::size_t i = 0; i < block.size(); ++i)
            block[i] = static_cast<std::uint8_t>(seed * 31 + i * 7);
        if (!transform.decrypt(block, out))
            return block;
    }
}

} // namespace

TEST(ShredWriter, CipherPassRewritesBlocksWithTheirTransformationOrZeros)
{
    const std::string key = "Ab3dE6g";
    const Bytes plain(48, 0x42);
    const Bytes valid = encryptForKey(key, plain); // 64 bytes: 48 + a whole padding block
    ASSERT_EQ(valid.size(), 64u);
    Bytes content = valid;
    const Bytes invalid = undecryptableBlock(key);
    content.insert(content.end(), invalid.begin(), invalid.end());
    content.insert(content.end(), 10, 0x77); // a short tail: not a multiple of 16, cannot decrypt

    for (const int flags : {O_RDWR, O_WRONLY}) {
        SCOPED_TRACE(flags == O_RDWR ? "read-write handle" : "write-only handle, read back through /proc");
        FileUnderTest file(content, flags);
        RecordingIo io;
        Progress progress;
        ShredWriter writer(method(18), 64, io);
        writer.setDelegate(&progress);
        writer.setCipherKeySource([&] { return key; });
        ASSERT_EQ(writer.shredInFile(file.fd, std::int64_t(content.size())), ShredWriter::Outcome::Completed);
        ASSERT_EQ(io.shape(), "wwwswwwswwwswwws");

        const auto writes = io.writes();
        Bytes expectedFirst = plain;
        expectedFirst.resize(64, 0);
        EXPECT_EQ(writes[0].head, expectedFirst) << "valid block: its decryption, padded with zeros";
        EXPECT_EQ(writes[1].head, Bytes(64, 0)) << "invalid padding: zeros";
        EXPECT_EQ(writes[2].head, Bytes(10, 0)) << "short tail: zeros";
        EXPECT_EQ(writes[3].head, Bytes(64, 0xFF));
        EXPECT_EQ(writes[6].head[0], 0x92);
        EXPECT_EQ(progress.reports.size(), 12u);

        const Bytes after = cv::test::readFile(file.path);
        ASSERT_EQ(after.size(), content.size());
        for (std::size_t i = 1; i < after.size(); ++i) {
            if (i % 64 != 0) {
                ASSERT_EQ(after[i], after[i - 1]) << "the last pass is one random byte per block, at " << i;
            }
        }
    }
}

// ---- reading passes back ---------------------------------------------------------------------

namespace {

// Changes the file between the sync of a pass and its read-back, as a device that dropped or
// garbled a write would, or cancels the job there; reads can be made to fail.
class ReadBackIo : public cv::FileIo
{
public:
    std::int64_t flipAt = -1;            // the byte to invert before each read-back
    std::function<void()> onReadingBack; // more to do at that point
    int failReadsWith = 0;               // errno for every read of the read-back
    int readBacks = 0;

    void readingBack(int fd) override
    {
        ++readBacks;
        if (flipAt >= 0) {
            std::uint8_t byte = 0;
            ASSERT_EQ(::pread(fd, &byte, 1, flipAt), 1);
            byte = static_cast<std::uint8_t>(~byte);
            ASSERT_EQ(::pwrite(fd, &byte, 1, flipAt), 1);
        }
        if (onReadingBack)
            onReadingBack();
    }
    ssize_t readUpTo(int fd, void* data, std::size_t length, off_t offset) override
    {
        if (failReadsWith != 0) {
            errno = failReadsWith;
            return -1;
        }
        return FileIo::readUpTo(fd, data, length, offset);
    }
    ssize_t readDirect(int fd, void* data, std::size_t length, off_t offset) override
    {
        if (failReadsWith != 0) {
            errno = failReadsWith;
            return -1;
        }
        return FileIo::readDirect(fd, data, length, offset);
    }
};

// Not a multiple of any block size: the last read meets the end of the file in mid-block.
constexpr std::int64_t kOddSize = 2 * MiB + 4099;

// Every method's passes, written and read back in the folder, all match.
void expectEveryMethodVerifies(const std::string& folder)
{
    static const cv::AlgorithmCollection collection;
    for (const auto& algorithm : collection.algorithms()) {
        if (algorithm->cycles() == 0)
            continue; // writes nothing, so reads nothing back
        for (const auto verification : {cv::Verification::LastPass, cv::Verification::AllPasses}) {
            SCOPED_TRACE("method " + std::to_string(algorithm->identifier()) + ", " +
                         cv::verificationKey(verification));
            const std::string path = folder + "/m" + std::to_string(algorithm->identifier());
            cv::test::writeFile(path, Bytes(static_cast<std::size_t>(kOddSize), 0x5A));
            const int fd = ::open(path.c_str(), O_RDWR | O_CLOEXEC);
            ASSERT_GE(fd, 0);
            ShredWriter writer(algorithm, ShredWriter::kFileBlockSize);
            writer.setVerification(verification);
            Progress progress;
            writer.setDelegate(&progress);
            EXPECT_EQ(writer.shredInFile(fd, kOddSize), ShredWriter::Outcome::Completed);
            // The cipher pass of method 18 depends on the file's content and is never read back.
            const bool cipherOnly =
                verification == cv::Verification::AllPasses && algorithm->usesCipherPass(0);
            EXPECT_EQ(writer.lastFileVerified(), !cipherOnly);
            std::int64_t reported = 0;
            for (const auto bytes : progress.reports)
                reported += bytes;
            EXPECT_EQ(reported, kOddSize * static_cast<std::int64_t>(writer.passesCounted()));
            ::close(fd);
            ::unlink(path.c_str());
        }
    }
}

} // namespace

TEST(PassStream, ReplaysTheBlocksItGaveAndDrawsFreshRandomDataPerPass)
{
    using Kind = cv::Pattern::Kind;
    for (const auto kind :
         {Kind::RandomData, Kind::RandomByte, Kind::RandomTriple, Kind::RandomWord, Kind::Triple}) {
        SCOPED_TRACE(static_cast<int>(kind));
        const cv::Pattern pattern =
            kind == Kind::Triple ? cv::Pattern::makeTriple(1, 2, 3) : cv::Pattern::random(kind);
        cv::PassStream stream(pattern);
        // Uneven block lengths: the repeat of a triple and the one-value kinds restart in each block.
        const std::vector<std::size_t> lengths = {1000, 1000, 7, 65536, 3};
        std::vector<Bytes> written;
        for (const auto length : lengths) {
            written.emplace_back(length);
            stream.fill(written.back());
        }
        stream.replay();
        Bytes block;
        for (const auto& expected : written) {
            ASSERT_EQ(stream.nextBlock(block), expected.size());
            EXPECT_TRUE(std::equal(expected.begin(), expected.end(), block.begin()));
        }
        EXPECT_EQ(stream.nextBlock(block), 0u);
        if (kind == Kind::RandomByte) {
            EXPECT_TRUE(std::all_of(written[0].begin(), written[0].end(),
                                    [&](auto b) { return b == written[0][0]; }));
        }
    }
    {
        // A block the volume refused is skipped by the replay; the blocks after it still match.
        cv::PassStream stream(cv::Pattern::random(Kind::RandomData));
        Bytes first(5000), refused(4096), retried(1000);
        stream.fill(first);
        stream.fill(refused);
        stream.discardLast();
        stream.fill(retried);
        stream.replay();
        Bytes block;
        ASSERT_EQ(stream.nextBlock(block), first.size());
        EXPECT_TRUE(std::equal(first.begin(), first.end(), block.begin()));
        ASSERT_EQ(stream.nextBlock(block), retried.size());
        EXPECT_TRUE(std::equal(retried.begin(), retried.end(), block.begin()));
        EXPECT_EQ(stream.nextBlock(block), 0u);
    }
    // Two passes never share their keystream.
    cv::PassStream first(cv::Pattern::random(Kind::RandomData));
    cv::PassStream second(cv::Pattern::random(Kind::RandomData));
    Bytes a(4096), b(4096);
    first.fill(a);
    second.fill(b);
    EXPECT_NE(a, b);
}

TEST(ShredWriter, VerifiesTheLastPassOrEveryPassOnTmpfsAndExt4)
{
    {
        SCOPED_TRACE("tmpfs");
        cv::test::TempDir dir;
        ::mkdir((dir / "mnt").c_str(), 0700);
        cv::test::TmpfsMount mount(dir / "mnt", "64m");
        if (mount.available())
            expectEveryMethodVerifies(mount.path());
    }
    {
        SCOPED_TRACE("the temporary folder's own file system");
        cv::test::TempDir dir;
        expectEveryMethodVerifies(dir.path());
    }
    {
        SCOPED_TRACE("ext4");
        cv::test::TempDir dir;
        ::mkdir((dir / "mnt").c_str(), 0700);
        cv::test::LoopMount mount(dir / "ext4.img", dir / "mnt", "ext4", "64M");
        if (!mount.available())
            GTEST_SKIP() << "no ext4 loop mount here (needs root)";
        expectEveryMethodVerifies(mount.path());
    }
}

TEST(ShredWriter, AFlippedByteFailsTheVerificationAtItsOffset)
{
    // Three reads of the read-back, the last one short: a difference is found in each of them.
    constexpr auto kRead = static_cast<std::int64_t>(cv::PassReader::kReadSize);
    constexpr std::int64_t size = 2 * kRead + 4099;
    for (const std::int64_t flip : {std::int64_t(0), kRead + 17, size - 1}) {
        SCOPED_TRACE(flip);
        ReadBackIo io;
        io.flipAt = flip;
        FileUnderTest file(Bytes(static_cast<std::size_t>(size), 0x11));
        ShredWriter writer(method(14), ShredWriter::kFileBlockSize, io);
        writer.setVerification(cv::Verification::LastPass);
        EXPECT_EQ(writer.shredInFile(file.fd, size), ShredWriter::Outcome::VerificationFailed);
        EXPECT_EQ(writer.mismatchOffset(), flip);
        EXPECT_FALSE(writer.lastFileVerified());
        EXPECT_EQ(io.readBacks, 1);
    }
    {
        SCOPED_TRACE("without verification nothing is read back");
        ReadBackIo io;
        io.flipAt = 5;
        FileUnderTest file(Bytes(4096, 0x11));
        ShredWriter writer(method(14), ShredWriter::kFileBlockSize, io);
        EXPECT_EQ(writer.shredInFile(file.fd, 4096), ShredWriter::Outcome::Completed);
        EXPECT_EQ(io.readBacks, 0);
        EXPECT_FALSE(writer.lastFileVerified());
    }
    {
        SCOPED_TRACE("every pass read back: the first pass's difference ends the file");
        ReadBackIo io;
        io.flipAt = 100;
        FileUnderTest file(Bytes(4096, 0x11));
        ShredWriter writer(method(7), ShredWriter::kFileBlockSize, io); // four constant passes
        writer.setVerification(cv::Verification::AllPasses);
        EXPECT_EQ(writer.shredInFile(file.fd, 4096), ShredWriter::Outcome::VerificationFailed);
        EXPECT_EQ(io.readBacks, 1);
    }
}

TEST(ShredWriter, AFailedReadBackOrACancelDuringItIsNoSuccess)
{
    {
        ReadBackIo io;
        io.failReadsWith = EIO;
        FileUnderTest file(Bytes(8192, 0x11));
        ShredWriter writer(method(14), ShredWriter::kFileBlockSize, io);
        writer.setVerification(cv::Verification::LastPass);
        EXPECT_EQ(writer.shredInFile(file.fd, 8192), ShredWriter::Outcome::VerificationFailed);
        EXPECT_EQ(writer.lastError(), EIO);
        EXPECT_FALSE(writer.mismatchOffset().has_value());
    }
    {
        ReadBackIo io;
        FileUnderTest file(Bytes(8192, 0x11));
        ShredWriter writer(method(14), ShredWriter::kFileBlockSize, io);
        io.onReadingBack = [&writer] { writer.cancel(); };
        writer.setVerification(cv::Verification::LastPass);
        // The last pass was written and synced before its read-back: overwritten, not verified.
        EXPECT_EQ(writer.shredInFile(file.fd, 8192), ShredWriter::Outcome::Completed);
        EXPECT_TRUE(writer.cancelledWhileVerifying());
        EXPECT_FALSE(writer.lastFileVerified());
    }
    {
        ReadBackIo io;
        FileUnderTest file(Bytes(8192, 0x11));
        ShredWriter writer(method(7), ShredWriter::kFileBlockSize, io); // four constant passes
        io.onReadingBack = [&writer] { writer.cancel(); };
        writer.setVerification(cv::Verification::AllPasses);
        EXPECT_EQ(writer.shredInFile(file.fd, 8192), ShredWriter::Outcome::Cancelled)
            << "passes were left out";
        EXPECT_FALSE(writer.lastFileVerified());
    }
    {
        // Nothing of an empty file is read: it is not verified.
        ReadBackIo io;
        FileUnderTest file(Bytes{});
        ShredWriter writer(method(14), ShredWriter::kFileBlockSize, io);
        writer.setVerification(cv::Verification::AllPasses);
        EXPECT_EQ(writer.shredInFile(file.fd, 0), ShredWriter::Outcome::Completed);
        EXPECT_FALSE(writer.lastFileVerified());
    }
}

namespace {

// Has another thread append to the file when the writer ends a pass (at its sync), and waits until
// it has: a log written to while the passes run, at a known point.
struct AppendingIo : cv::FileIo
{
    std::string path;
    std::size_t bytes = 0;
    int firstSync = 1; // appends at this sync (1-based) and every one after it ...
    int times = 1;     // ... this many times in all
    int syncs = 0;
    int appended = 0;

    bool dataSync(int fd) override
    {
        const bool synced = FileIo::dataSync(fd);
        if (++syncs >= firstSync && appended < times) {
            std::thread([this] {
                const int log = ::open(path.c_str(), O_WRONLY | O_APPEND | O_CLOEXEC);
                const std::string line(bytes, 'L');
                EXPECT_EQ(::write(log, line.data(), line.size()), static_cast<ssize_t>(line.size()));
                ::close(log);
            }).join();
            ++appended;
        }
        return synced;
    }
};

} // namespace

TEST(ShredWriter, WhatIsAddedDuringThePassesIsOverwrittenWithEveryPass)
{
    // Appended after the first pass: the addition gets every pass too, read back when asked, and no
    // appended byte survives. The read-back of an addition starts at an unaligned offset.
    for (const auto verification : {cv::Verification::Off, cv::Verification::AllPasses}) {
        SCOPED_TRACE(static_cast<int>(verification));
        const std::size_t size = 2 * MiB + 1234;
        FileUnderTest file(Bytes(size, 0x11));
        AppendingIo io;
        io.path = file.path;
        io.bytes = 300000;
        Progress progress;
        ShredWriter writer(method(13), ShredWriter::kFileBlockSize, io);
        writer.setDelegate(&progress);
        writer.setVerification(verification);
        ASSERT_EQ(writer.shredInFile(file.fd, static_cast<std::int64_t>(size)),
                  ShredWriter::Outcome::Completed);
        EXPECT_EQ(writer.lastFileSize(), static_cast<std::int64_t>(size + io.bytes));
        EXPECT_EQ(progress.grown, std::vector<std::int64_t>{300000});
        EXPECT_EQ(cv::test::readFile(file.path), Bytes(size + io.bytes, 0xCA))
            << "the last pass covers it all";
        EXPECT_EQ(writer.lastFileVerified(), verification != cv::Verification::Off);
    }
    {
        SCOPED_TRACE("a file that never holds still");
        FileUnderTest file(Bytes(5000, 0x11));
        AppendingIo io;
        io.path = file.path;
        io.bytes = 100;
        io.times = 1000;
        ShredWriter writer(method(13), ShredWriter::kFileBlockSize, io);
        EXPECT_EQ(writer.shredInFile(file.fd, 5000), ShredWriter::Outcome::Grew);
    }
}
