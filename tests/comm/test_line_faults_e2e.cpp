// Line faults on the real serial link. A pseudo-terminal cannot make framing errors, so once
// the link has opened the simulator's device, a pipe takes the place of its reading descriptor
// and the tests write into it what the kernel delivers for a faulty line.
#include <gtest/gtest.h>

#include <QDir>
#include <QElapsedTimer>

#include "comm_rig.h"
#include "core/transfer.h"

#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

using namespace kx;

namespace {

const std::string kLineFault = "Errore 8020: Line error: framing or parity error (";

// The link's reading descriptor: the one open read-only on `device` in this process.
int reading_fd(const std::string& device) {
    const QDir fds(QStringLiteral("/proc/self/fd"));
    for (const QString& name : fds.entryList(QDir::Files | QDir::System)) {
        const int fd = name.toInt();
        const QString target = QFile::symLinkTarget(fds.filePath(name));
        if (target.toStdString() == device && (::fcntl(fd, F_GETFL) & O_ACCMODE) == O_RDONLY) return fd;
    }
    return -1;
}

// The link on a line whose received bytes the test writes. Each frame of `frames` goes out
// when the link has sent something (the first at the opening), as a terminal answers.
struct FakeLine : LinkPort {
    SerialLink& link;
    std::string device;
    std::vector<std::string> frames; // as the kernel delivers them
    size_t sent = 0;
    int fd = -1, pipe[2] = {-1, -1};

    FakeLine(SerialLink& l, std::string dev, std::vector<std::string> f = {})
        : link(l), device(std::move(dev)), frames(std::move(f)) {}
    ~FakeLine() override {
        for (int p : pipe)
            if (p >= 0) ::close(p);
    }
    bool port_open() const override { return link.port_open(); }
    void open() override {
        link.open();
        fd = reading_fd(device);
        ASSERT_GE(fd, 0);
        ASSERT_EQ(::pipe2(pipe, O_NONBLOCK | O_CLOEXEC), 0);
        ASSERT_EQ(::dup2(pipe[0], fd), fd);
        next();
    }
    void send_frame(const std::string& t) override {
        link.send_frame(t);
        next();
    }
    void wait_reply() override { link.wait_reply(); }
    void release() override { link.release(); }
    void next() {
        if (sent < frames.size()) write(frames[sent++]);
    }
    void write(const std::string& bytes) {
        ASSERT_EQ(::write(pipe[1], bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
    }
    // The line can no longer be read: a directory (always readable, reads fail) in its place.
    void break_reading() {
        const int dir = ::open("/", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        ASSERT_EQ(::dup2(dir, fd), fd);
        ::close(dir);
    }
};

// A KXB_5560 upload of one page: a variable of 4 digits at cell 0 (bytes 255, each arriving
// doubled), and `mark` in the middle of row 2.
std::vector<std::string> upload_frames(const std::string& mark) {
    std::vector<std::string> f = {frame_bytes("0001"),
                                  frame_bytes("0001"),
                                  frame_bytes("Italiano "),
                                  frame_bytes(std::string(8, '\xff') + std::string(36, 'a')),
                                  frame_bytes(std::string(40, 'b')),
                                  frame_bytes(std::string(20, 'c') + mark + std::string(19, 'c')),
                                  frame_bytes(std::string(40, 'd'))};
    for (const char* t :
         {"0000", "0000", "0000", "0000", "1", "01", "00", "00", "04", "00", "1000", "0000", "FFFF", "0000"})
        f.push_back(frame_bytes(t));
    return f;
}

} // namespace

TEST(LineFaults, TheLinkUndoesTheMarksAndEndsTheWaitOnAFaultOrAReadFailure) {
    SimProcess sim({"--silent"}); // every byte the link reads is the test's
    LinkRig r(sim.device());
    r.link.set_reply_timeout_ms(3000);
    FakeLine line(r.link, sim.device());
    line.open();
    {
        // A pseudo-terminal takes the marking.
        const int fd = ::open(sim.device().c_str(), O_RDONLY | O_NOCTTY | O_NONBLOCK);
        termios t{};
        ASSERT_EQ(::tcgetattr(fd, &t), 0);
        EXPECT_TRUE((t.c_iflag & PARMRK) && (t.c_iflag & INPCK) && !(t.c_iflag & IGNPAR));
        ::close(fd);
    }

    // A damaged character: the wait ends with the frame, the user is told.
    line.write("\x02ok" + std::string("\xff\0Q", 3) + "\x03");
    r.link.wait_reply();
    EXPECT_TRUE(r.p.rx_done);
    EXPECT_NE(r.p.comm_error, 0);
    ASSERT_EQ(r.prompt.messages.size(), 1u);
    EXPECT_EQ(r.prompt.messages[0].text, kLineFault + sim.device() + ")");

    // A fault between two waits is wiped by the next one.
    line.write(std::string("\xff\0Z", 3));
    wait_ms(r.pump, 50);
    line.write(frame_bytes("next"));
    r.link.wait_reply();
    EXPECT_EQ(r.p.rx_buffer, "next");
    EXPECT_EQ(r.p.comm_error, 0);
    EXPECT_EQ(r.prompt.messages.size(), 1u);

    // A read failure ends the wait at once, not at the time-out.
    QElapsedTimer clock;
    clock.start();
    line.break_reading();
    r.link.wait_reply();
    EXPECT_LT(clock.elapsed(), 1500);
    EXPECT_NE(r.p.comm_error, 0);
    ASSERT_EQ(r.prompt.messages.size(), 2u);
    EXPECT_EQ(r.prompt.messages[1].text.rfind("Errore 8020: Line error: the line cannot be read", 0), 0u)
        << r.prompt.messages[1].text;
    r.link.release();
    EXPECT_TRUE(r.p.port_idle);
}

TEST(LineFaults, AnUploadKeepsTheBytes255AndEndsAtAFrameWithAMarkedFault) {
    for (const bool faulty : {false, true}) {
        SimProcess sim({"--silent"});
        EditorRig e(sim.device());
        e.link.set_reply_timeout_ms(2000);
        FakeLine link(e.link, sim.device(), upload_frames(faulty ? std::string("\xff\0x", 3) : "x"));
        TransferPanel panel;
        EXPECT_EQ(run_upload(e.c, link, panel), TransferOutcome::Ended);
        EXPECT_TRUE(e.p.port_idle);
        EXPECT_FALSE(e.link.port_open());
        if (faulty) {
            // Ended at the damaged row, said so, and nothing after it was taken.
            ASSERT_EQ(e.texts().size(), 1u);
            EXPECT_EQ(e.texts()[0].rfind(kLineFault, 0), 0u) << e.texts()[0];
            EXPECT_EQ(e.p.page_store[0][0].var_count, 0);
            continue;
        }
        EXPECT_EQ(e.texts(), Texts{kTransferOk});
        const page_record& rec = e.p.page_store[0][0];
        for (int cell = 0; cell < 4; ++cell) EXPECT_EQ(rec.chars[cell], kCodeVarDigit) << cell;
        EXPECT_EQ(rec.chars[4], 'a');
        EXPECT_EQ(rec.chars[80 + 20], 'x');
        EXPECT_EQ(rec.var_count, 1);
    }
}
