// kxsim: plays one KX terminal on a serial line, so that the editor's transfers can be
// tried without a panel. It runs on a new pseudo-terminal (the device path to give the
// editor is printed on the first line of standard output) or on a serial device.
//
// It answers every frame with an empty frame (the download's end marker excepted), keeps
// what a project download sends as its project, and sends that project back frame by frame
// for an upload when Enter is pressed on its console (or after --upload-after), each frame
// after the editor's empty acknowledgement of the one before (any other frame ends the
// upload and is taken as the command it is). The link,
// count and string-count frames come in hexadecimal and go back in decimal, as a terminal
// does. Whatever in a download does not look as a terminal expects is reported on
// standard error as "kxsim: anomaly: ...".
//
// Outside a download it also takes the commands "00" + letter + fields + check: the EEPROM
// commands (two-digit check) R (answers the byte in two hex digits), M (one S1 record
// written into its 32768-byte EEPROM), K and Z; and the recipe commands (four-digit check)
// C, E, L, N, P, B that store a recipe set, and c, e, l, n, p, b that read it back.
//
// Plain C++ and POSIX on purpose: it shares no code with the editor, so it checks it.
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <poll.h>
#include <pty.h>
#include <string>
#include <termios.h>
#include <thread>
#include <unistd.h>
#include <utility>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;
constexpr char STX = 0x02, ETX = 0x03;

struct Options {
    std::string device; // empty: a new pseudo-terminal
    int cols = 40, rows = 4;
    long silent_after = -1; // answer this many frames, then stay silent; -1 = always answer
    int delay_ms = 0;       // answer every frame this late
    long upload_after = -1; // start an upload this many ms after start; -1 = on a key only
    int ack_timeout_ms = 10000;
    std::string load;       // frames to send for an upload, until a download replaces them
    std::string eeprom_in;  // the EEPROM's first content (32768 bytes); else a fixed pattern
    std::string eeprom_out; // where "Z" leaves the EEPROM's content
};

void usage() {
    std::fprintf(stderr, "usage: kxsim [options]\n"
                         "  --device PATH        use a serial device instead of a new pseudo-terminal\n"
                         "  --model KEY          terminal model (sets the display), default KXB_5560\n"
                         "  --geometry COLSxROWS display size, e.g. 20x4\n"
                         "  --silent             never answer\n"
                         "  --silent-after N     answer N frames, then stay silent\n"
                         "  --delay-ms MS        answer every frame MS milliseconds late\n"
                         "  --upload-after MS    send the project MS milliseconds after start\n"
                         "  --ack-timeout MS     give up an upload after MS without acknowledgement\n"
                         "  --load FILE          project to send: one frame text per line, bytes as \\xHH\n"
                         "  --eeprom FILE        EEPROM content to start with (32768 bytes)\n"
                         "  --eeprom-out FILE    write the EEPROM content to FILE at each \"Z\" command\n"
                         "Console: Enter sends the project (upload), q then Enter quits.\n");
}

void log(const std::string& s) { std::fprintf(stderr, "kxsim: %s\n", s.c_str()); }
void anomaly(const std::string& s) { log("anomaly: " + s); }

bool set_model(Options& o, const std::string& key) {
    static const struct {
        const char* key;
        int cols, rows;
    } models[] = {{"KXD_515", 16, 2}, {"KXE_520", 20, 2},  {"KXE_540", 20, 4}, {"KXG_520", 20, 2},
                  {"KXB_540", 20, 4}, {"KXB_5560", 40, 4}, {"KXD_540", 20, 4}, {"KXG_540", 20, 4}};
    for (const auto& m : models)
        if (key == m.key) {
            o.cols = m.cols;
            o.rows = m.rows;
            return true;
        }
    return false;
}

bool is_digits(const std::string& s, int width, bool hex) {
    if (static_cast<int>(s.size()) != width) return false;
    for (char ch : s)
        if (!(ch >= '0' && ch <= '9') && !(hex && ch >= 'A' && ch <= 'F')) return false;
    return true;
}

std::string dec4(long v) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%04ld", v);
    return buf;
}

std::string printable(const std::string& s) {
    std::string out;
    for (unsigned char ch : s) {
        if (ch >= 32 && ch < 127 && ch != '\\') out += static_cast<char>(ch);
        else {
            char buf[8];
            std::snprintf(buf, sizeof buf, "\\x%02X", ch);
            out += buf;
        }
    }
    return out;
}

std::string unescape(const std::string& s) {
    std::string out;
    for (size_t i = 0; i < s.size(); ++i) {
        if (s[i] == '\\' && i + 3 < s.size() && s[i + 1] == 'x') {
            out += static_cast<char>(std::strtol(s.substr(i + 2, 2).c_str(), nullptr, 16));
            i += 3;
        } else if (s[i] == '\\' && i + 1 < s.size() && s[i + 1] == '\\') {
            out += '\\';
            ++i;
        } else {
            out += s[i];
        }
    }
    return out;
}

// The terminal's project, as a download leaves it in its flash.
struct Page {
    std::vector<std::string> rows;
    long links[4] = {0, 0, 0, 0};
    long count = 0;                  // variables + 128 with the page password
    std::vector<std::string> fields; // eight per variable, hexadecimal as received
};

struct Flash {
    long n_lang = 1;
    std::vector<std::string> names{"Italiano"};
    std::vector<Page> pages;          // language by language, page by page
    std::vector<std::string> strings; // language by language
};

// Frames on the line: STX starts one (dropping an unfinished one), ETX ends it, bytes
// outside a frame are noise.
class FrameReader {
public:
    // Takes bytes; hands each frame they complete to `on_frame` and returns how many there
    // were. The frame is only borrowed: it stays valid until the next call.
    template <class OnFrame>
    size_t take(const char* data, size_t n, OnFrame&& on_frame) {
        size_t done = 0;
        for (size_t i = 0; i < n; ++i) {
            const char ch = data[i];
            if (ch == STX) {
                in_ = true;
                buf_.clear();
            } else if (ch == ETX) {
                if (in_) {
                    on_frame(std::as_const(buf_));
                    ++done;
                }
                in_ = false;
            } else if (in_) {
                buf_ += ch;
            }
        }
        return done;
    }

private:
    bool in_ = false;
    std::string buf_;
};

// A recipe set as the recipe commands leave it: up to 201 elements and 201 block slots.
struct RecipeSet {
    struct Element {
        char point = '0'; // decimal-point character, + 128 for OMR_HEX
        std::string name = std::string(8, ' ');
        long min = 0, max = 0;
    };
    struct Block {
        std::string name = std::string(8, ' '); // blanks: a free slot
        long prev = 0, next = 0;
        long values[201] = {};
    };
    long tot = 0, len = 0, start = 0;
    Element el[201];
    Block bl[201];
};

std::string hex(long v, int width) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%0*lX", width, v);
    return buf;
}

int xor_of(const std::string& s) {
    int x = 0;
    for (unsigned char ch : s) x ^= ch;
    return x;
}

class Terminal {
public:
    Terminal(int fd, Options o) : fd_(fd), o_(std::move(o)), eeprom_(32768) {
        for (size_t a = 0; a < eeprom_.size(); ++a) eeprom_[a] = static_cast<unsigned char>(a * 7 + (a >> 8));
        if (!o_.eeprom_in.empty()) {
            std::ifstream in(o_.eeprom_in, std::ios::binary);
            in.read(reinterpret_cast<char*>(eeprom_.data()), static_cast<std::streamsize>(eeprom_.size()));
            if (in.gcount() != static_cast<std::streamsize>(eeprom_.size())) {
                log("cannot read 32768 bytes from " + o_.eeprom_in);
                std::exit(2);
            }
        }
        flash_.pages.push_back(blank_page());
        if (!o_.load.empty()) {
            std::ifstream in(o_.load, std::ios::binary);
            if (!in) {
                log("cannot read " + o_.load);
                std::exit(2);
            }
            std::string line;
            while (std::getline(in, line)) {
                if (!line.empty() && line.back() == '\r') line.pop_back();
                loaded_.push_back(unescape(line));
            }
            use_loaded_ = true;
        }
    }

    int run() {
        const Clock::time_point start = Clock::now();
        bool upload_due = o_.upload_after >= 0;
        bool console = true;
        for (;;) {
            pollfd fds[2] = {{fd_, POLLIN, 0}, {STDIN_FILENO, POLLIN, 0}};
            int timeout = -1;
            if (upload_due) {
                auto left =
                    o_.upload_after -
                    std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count();
                timeout = static_cast<int>(std::max<long>(0, left));
            } else if (state_ != State::Idle) {
                timeout = 15000; // a download the editor gave up: start afresh later
            }
            // In the middle of a download the next frame follows at once: read it straight
            // away (waiting at most a tenth of a second for it) and come back to the poll,
            // which also watches the console, only when the line falls silent.
            if (state_ != State::Idle && !upload_due && read_line()) continue;
            const int n = ::poll(fds, console ? 2 : 1, timeout);
            if (n < 0 && errno == EINTR) continue;
            if (n < 0) return 1;
            if (n == 0) {
                if (upload_due) {
                    upload_due = false;
                    upload();
                } else if (state_ != State::Idle) {
                    anomaly("download stopped before its end");
                    state_ = State::Idle;
                }
                continue;
            }
            if ((fds[0].revents & (POLLIN | POLLHUP | POLLERR)) && !read_line() && failed_) return 1;
            if (console && (fds[1].revents & (POLLIN | POLLHUP))) {
                char buf[256];
                const ssize_t r = ::read(STDIN_FILENO, buf, sizeof buf);
                if (r <= 0) {
                    console = false;
                } else if (buf[0] == 'q') {
                    return 0;
                } else {
                    upload();
                }
            }
        }
    }

private:
    enum class State { Idle, NLang, Total, Names, Block, EndMarker, StrCount, Strings };

    Page blank_page() const {
        Page p;
        p.rows.assign(o_.rows, std::string(o_.cols, ' '));
        return p;
    }

    // Reads what the line holds, waiting at most `wait_ms` for its first byte. The wait is
    // poll()'s: a read time-out in the terminal settings does not work on the master side
    // of a pseudo-terminal, whose settings are the other side's. Returns the bytes read, 0
    // when none came in time, -1 with errno on a failure (EIO when the line hung up).
    ssize_t read_within(char* buf, size_t size, int wait_ms) {
        pollfd p{fd_, POLLIN, 0};
        const int ready = ::poll(&p, 1, wait_ms);
        if (ready <= 0) return ready;
        const ssize_t r = ::read(fd_, buf, size);
        if (r == 0) errno = EIO;
        return r == 0 ? -1 : r;
    }

    // Reads what the line holds and handles its frames; waits at most a tenth of a second
    // for the first byte. False when nothing came (failed_ tells a broken line).
    bool read_line() {
        char buf[4096];
        const ssize_t r = read_within(buf, sizeof buf, 100);
        if (r > 0) {
            reader_.take(buf, static_cast<size_t>(r), [this](const std::string& f) { on_frame(f); });
            return true;
        }
        if (r < 0 && errno != EINTR && errno != EAGAIN && errno != EIO) failed_ = true;
        else if (r < 0) std::this_thread::sleep_for(std::chrono::milliseconds(20)); // nobody on the line
        return false;
    }

    void write_all(const std::string& s) {
        size_t off = 0;
        while (off < s.size()) {
            const ssize_t w = ::write(fd_, s.data() + off, s.size() - off);
            if (w < 0 && errno == EINTR) continue;
            if (w <= 0) return;
            off += static_cast<size_t>(w);
        }
    }

    void send(const std::string& text) {
        out_.assign(1, STX);
        out_ += text;
        out_ += ETX;
        write_all(out_);
    }

    void answer(const std::string& text = "") {
        ++frames_;
        if (o_.silent_after >= 0 && frames_ > o_.silent_after) return;
        if (o_.delay_ms > 0) std::this_thread::sleep_for(std::chrono::milliseconds(o_.delay_ms));
        send(text);
    }

    long hex(const std::string& f, int width, const char* what) {
        if (!is_digits(f, width, true))
            anomaly(std::string(what) + " \"" + printable(f) + "\" is not " + std::to_string(width) +
                    " hexadecimal digits");
        return std::strtol(f.c_str(), nullptr, 16);
    }

    long dec(const std::string& f, const char* what) {
        if (!is_digits(f, 4, false))
            anomaly(std::string(what) + " \"" + printable(f) + "\" is not 4 decimal digits");
        return std::strtol(f.c_str(), nullptr, 10);
    }

    void on_frame(const std::string& f) {
        // An empty frame is the erase command that starts a download, wherever a download
        // left off; only a global string may be empty.
        if (f.empty() && state_ != State::Strings) {
            begin_download();
            answer();
            return;
        }
        if (state_ == State::Idle && is_command(f)) {
            command(f);
            return;
        }
        switch (state_) {
        case State::Idle: log("frame \"" + printable(f) + "\" outside a download"); break;
        case State::NLang:
            next_.n_lang = dec(f, "language count");
            if (next_.n_lang < 1 || next_.n_lang > 6) anomaly("language count " + f);
            state_ = State::Total;
            break;
        case State::Total:
            total_ = dec(f, "page total");
            if (next_.n_lang > 0 && total_ % next_.n_lang)
                anomaly("page total " + f + " not a multiple of the languages");
            if (next_.n_lang > 0) state_ = State::Names;
            else begin_pages();
            break;
        case State::Names:
            if (f.size() < 9) anomaly("language name \"" + printable(f) + "\" shorter than 9");
            // Kept as it arrived, padded to its field: that is what goes back in an upload.
            next_.names.push_back(f);
            if (static_cast<long>(next_.names.size()) == next_.n_lang) begin_pages();
            break;
        case State::Block: block_frame(f); break;
        case State::EndMarker:
            if (f == "\x06") {
                state_ = State::StrCount;
                return; // the end marker is not answered
            }
            anomaly("end marker missing before \"" + printable(f) + "\"");
            state_ = State::StrCount;
            [[fallthrough]];
        case State::StrCount:
            str_total_ = hex(f, 4, "string total");
            state_ = str_total_ > 0 ? State::Strings : State::Idle;
            if (state_ == State::Idle) finish();
            break;
        case State::Strings:
            next_.strings.push_back(f);
            if (static_cast<long>(next_.strings.size()) == str_total_) {
                state_ = State::Idle;
                finish();
            }
            break;
        }
        answer();
    }

    static bool is_command(const std::string& f) {
        return f.size() >= 3 && f[0] == '0' && f[1] == '0' && f[2] != 0 &&
               std::strchr("RMKZCELNPBcelnpb", f[2]) != nullptr;
    }

    void begin_download() {
        if (state_ != State::Idle) anomaly("download restarted before its end");
        log("erase: download begins");
        next_ = Flash{};
        next_.names.clear();
        state_ = State::NLang;
    }

    // An EEPROM or recipe command: its check, then what it asks.
    void command(const std::string& f) {
        const char letter = f[2];
        const int digits = std::strchr("RMKZ", letter) ? 2 : 4;
        if (static_cast<int>(f.size()) < 3 + digits) {
            anomaly("command \"" + printable(f) + "\" without its check");
            return answer();
        }
        const std::string body = f.substr(0, f.size() - digits), check = f.substr(f.size() - digits);
        if (!is_digits(check, digits, true) || std::strtol(check.c_str(), nullptr, 16) != xor_of(body))
            anomaly("command \"" + printable(f) + "\" with a wrong check");
        const std::string a = body.substr(3);
        if (digits == 2) return eeprom_command(letter, a);
        answer(recipe_command(letter, a));
    }

    void eeprom_command(char letter, const std::string& a) {
        switch (letter) {
        case 'R': {
            const long addr = hex(a, 4, "EEPROM address");
            if (addr < 0 || addr > 32767) anomaly("EEPROM address " + a);
            ++reads_;
            return answer(::hex(eeprom_[static_cast<size_t>(addr) & 0x7FFF], 2));
        }
        case 'M':
            s1_record(a);
            ++records_;
            break;
        case 'K':
            log("eeprom: K after " + std::to_string(records_) + " records, " + std::to_string(reads_) +
                " reads");
            break;
        case 'Z':
            log("eeprom: Z");
            if (!o_.eeprom_out.empty()) {
                std::ofstream out(o_.eeprom_out, std::ios::binary | std::ios::trunc);
                out.write(reinterpret_cast<const char*>(eeprom_.data()),
                          static_cast<std::streamsize>(eeprom_.size()));
                log(out ? "eeprom saved" : "cannot write " + o_.eeprom_out);
            }
            records_ = reads_ = 0;
            break;
        }
        answer();
    }

    // One S1 record: count, address, data and a check that makes the sum of all bytes 0xFF.
    void s1_record(const std::string& r) {
        auto byte_at = [&](size_t i) { return std::strtol(r.substr(i, 2).c_str(), nullptr, 16); };
        const bool hex_digits = r.size() >= 4 && is_digits(r.substr(2), static_cast<int>(r.size() - 2), true);
        if (r.compare(0, 2, "S1") != 0 || !hex_digits || r.size() % 2 ||
            byte_at(2) != static_cast<long>(r.size() - 4) / 2) {
            anomaly("record \"" + printable(r) + "\" is no S1 record");
            return;
        }
        long sum = 0;
        for (size_t i = 2; i < r.size(); i += 2) sum += byte_at(i);
        if ((sum & 0xFF) != 0xFF) anomaly("record \"" + r + "\" with a wrong check byte");
        const long addr = byte_at(4) * 256 + byte_at(6);
        if (addr != records_ * 16) anomaly("record for " + ::hex(addr, 4) + " out of order");
        for (size_t i = 8, k = 0; i + 2 < r.size(); i += 2, ++k)
            eeprom_[static_cast<size_t>(addr + k) & 0x7FFF] = static_cast<unsigned char>(byte_at(i));
    }

    // A recipe command; returns the answer's text.
    std::string recipe_command(char letter, const std::string& a) {
        auto field = [&](size_t at, int width, const char* what) {
            if (at + width <= a.size()) return hex(a.substr(at, width), width, what);
            anomaly(std::string(what) + " missing");
            return 0L;
        };
        auto slot = [&](size_t at, const char* what) {
            const long v = field(at, 2, what);
            if (v > 200) anomaly(std::string(what) + " " + std::to_string(v));
            return v > 200 ? 200 : v;
        };
        RecipeSet& r = recipes_;
        switch (letter) {
        case 'C':
            r = RecipeSet{};
            r.tot = field(0, 2, "block count");
            r.len = field(2, 2, "element count");
            r.start = field(4, 4, "base address");
            log("recipe: C " + std::to_string(r.tot) + " blocks, " + std::to_string(r.len) + " elements");
            return "";
        case 'E': {
            if (a.size() != 11) anomaly("E command of " + std::to_string(a.size()) + " characters");
            RecipeSet::Element& e = r.el[slot(0, "element")];
            if (a.size() > 2) e.point = a[2];
            e.name = a.size() > 3 ? a.substr(3, 8) : "";
            return "";
        }
        case 'L': {
            RecipeSet::Element& e = r.el[slot(0, "element")];
            e.min = field(2, 4, "minimum");
            e.max = field(6, 4, "maximum");
            return "";
        }
        case 'N': {
            if (a.size() != 10) anomaly("N command of " + std::to_string(a.size()) + " characters");
            r.bl[slot(0, "block")].name = a.size() > 2 ? a.substr(2, 8) : "";
            return "";
        }
        case 'P': {
            RecipeSet::Block& b = r.bl[slot(0, "block")];
            b.prev = slot(2, "previous block");
            b.next = slot(4, "next block");
            return "";
        }
        case 'B': r.bl[slot(0, "block")].values[slot(2, "element")] = field(4, 4, "value"); return "";
        case 'c': return ::hex(r.tot, 2) + ::hex(r.len, 2) + ::hex(r.start, 4);
        case 'e': {
            const RecipeSet::Element& e = r.el[slot(0, "element")];
            return std::string(1, e.point) + e.name;
        }
        case 'l': {
            const RecipeSet::Element& e = r.el[slot(0, "element")];
            return ::hex(e.min, 4) + ::hex(e.max, 4);
        }
        case 'n': return r.bl[slot(0, "block")].name;
        case 'p': {
            const RecipeSet::Block& b = r.bl[slot(0, "block")];
            return ::hex(b.prev, 2) + ::hex(b.next, 2);
        }
        case 'b': return ::hex(r.bl[slot(0, "block")].values[slot(2, "element")], 4);
        }
        return "";
    }

    void begin_pages() {
        block_ = Page{};
        step_ = 0;
        state_ = total_ > 0 ? State::Block : State::EndMarker;
    }

    void block_frame(const std::string& f) {
        const int rows = o_.rows;
        if (step_ < rows) {
            if (static_cast<int>(f.size()) != o_.cols)
                anomaly("row of " + std::to_string(f.size()) + " characters, the display has " +
                        std::to_string(o_.cols));
            block_.rows.push_back(f);
        } else if (step_ < rows + 4) {
            block_.links[step_ - rows] = hex(f, 4, "link");
        } else if (step_ == rows + 4) {
            block_.count = hex(f, 2, "variable count");
            if ((block_.count & 127) > 8) anomaly("variable count " + f);
        } else {
            const int k = (step_ - rows - 5) % 8;
            hex(f, k < 5 ? 2 : 4, "variable field");
            block_.fields.push_back(f);
        }
        ++step_;
        const long vars = block_.count & 127;
        if (step_ >= rows + 5 && static_cast<long>(block_.fields.size()) == vars * 8) {
            next_.pages.push_back(std::move(block_));
            block_ = Page{};
            step_ = 0;
            if (static_cast<long>(next_.pages.size()) == total_) state_ = State::EndMarker;
        }
    }

    void finish() {
        flash_ = next_;
        use_loaded_ = false;
        log("download complete: " + std::to_string(flash_.n_lang) + " languages, " +
            std::to_string(flash_.pages.size()) + " pages, " + std::to_string(flash_.strings.size()) +
            " strings");
    }

    std::vector<std::string> upload_frames() const {
        if (use_loaded_) return loaded_;
        std::vector<std::string> f;
        f.push_back(dec4(flash_.n_lang));
        f.push_back(dec4(static_cast<long>(flash_.pages.size())));
        for (const std::string& n : flash_.names) f.push_back(n);
        for (const Page& p : flash_.pages) {
            for (const std::string& r : p.rows) f.push_back(r);
            for (long l : p.links) f.push_back(dec4(l));
            f.push_back(std::to_string(p.count));
            for (const std::string& v : p.fields) f.push_back(v);
        }
        f.push_back(dec4(static_cast<long>(flash_.strings.size())));
        for (const std::string& s : flash_.strings) f.push_back(s);
        return f;
    }

    // Sends the project, each frame after the empty acknowledgement of the one before. Any
    // other frame ends the upload (the editor has gone on to something else) and is then
    // handled as what it is.
    void upload() {
        state_ = State::Idle;
        const std::vector<std::string> frames = upload_frames();
        log("upload begins: " + std::to_string(frames.size()) + " frames");
        bool acked = false; // an empty frame was taken as an acknowledgement
        for (size_t i = 0; i < frames.size(); ++i) {
            send(frames[i]);
            std::vector<std::string> other;
            if (wait_ack(other, acked)) continue;
            if (other.empty()) {
                log("no acknowledgement of frame " + std::to_string(i + 1) + " within " +
                    std::to_string(o_.ack_timeout_ms) + " ms: upload given up");
                return;
            }
            log("frame \"" + printable(other[0]) + "\" instead of the acknowledgement of frame " +
                std::to_string(i + 1) + ": upload stopped");
            // The erase command of a download is an empty frame too: when one was taken as
            // an acknowledgement and what follows is no command, a download has begun.
            if (acked && !is_command(other[0])) begin_download();
            for (const std::string& f : other) on_frame(f);
            return;
        }
        log("upload complete");
    }

    // True at the empty acknowledgement; false at the time-out, or at another frame, which
    // comes in `other` with the frames that came after it.
    bool wait_ack(std::vector<std::string>& other, bool& acked) {
        const Clock::time_point until = Clock::now() + std::chrono::milliseconds(o_.ack_timeout_ms);
        for (;;) {
            const auto left =
                std::chrono::duration_cast<std::chrono::milliseconds>(until - Clock::now()).count();
            if (left <= 0) return false;
            char buf[256];
            const ssize_t r = read_within(buf, sizeof buf, static_cast<int>(left));
            if (r == 0 || (r < 0 && errno == EINTR)) continue;
            if (r < 0) { // nobody on the line
                std::this_thread::sleep_for(std::chrono::milliseconds(20));
                continue;
            }
            bool ack = false;
            reader_.take(buf, static_cast<size_t>(r), [&](const std::string& f) {
                if (f.empty() && other.empty()) ack = acked = true;
                else other.push_back(f);
            });
            if (!other.empty()) return false;
            if (ack) return true;
        }
    }

    int fd_;
    Options o_;
    FrameReader reader_;
    bool failed_ = false; // the line gave a read error other than a hang-up
    std::string out_;     // the frame being sent, kept to reuse its storage
    State state_ = State::Idle;
    Flash flash_, next_;
    std::vector<std::string> loaded_;
    bool use_loaded_ = false;
    Page block_;
    int step_ = 0;
    long total_ = 0, str_total_ = 0, frames_ = 0;
    std::vector<unsigned char> eeprom_;
    long records_ = 0, reads_ = 0;
    RecipeSet recipes_;
};

void make_raw(int fd) {
    termios t{};
    if (tcgetattr(fd, &t) != 0) return;
    cfmakeraw(&t);
    cfsetispeed(&t, B9600);
    cfsetospeed(&t, B9600);
    t.c_cflag |= CLOCAL | CREAD;
    tcsetattr(fd, TCSANOW, &t);
}

} // namespace

int main(int argc, char** argv) {
    Options o;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        auto value = [&]() -> std::string {
            if (i + 1 >= argc) {
                usage();
                std::exit(2);
            }
            return argv[++i];
        };
        if (a == "--device") o.device = value();
        else if (a == "--model") {
            if (!set_model(o, value())) {
                log("unknown model");
                return 2;
            }
        } else if (a == "--geometry") {
            if (std::sscanf(value().c_str(), "%dx%d", &o.cols, &o.rows) != 2 || o.cols < 1 || o.rows < 1) {
                usage();
                return 2;
            }
        } else if (a == "--silent") o.silent_after = 0;
        else if (a == "--silent-after") o.silent_after = std::atol(value().c_str());
        else if (a == "--delay-ms") o.delay_ms = std::atoi(value().c_str());
        else if (a == "--upload-after") o.upload_after = std::atol(value().c_str());
        else if (a == "--ack-timeout") o.ack_timeout_ms = std::atoi(value().c_str());
        else if (a == "--load") o.load = value();
        else if (a == "--eeprom") o.eeprom_in = value();
        else if (a == "--eeprom-out") o.eeprom_out = value();
        else {
            usage();
            return a == "--help" ? 0 : 2;
        }
    }

    int fd = -1;
    if (o.device.empty()) {
        int slave = -1;
        char name[256] = {};
        if (openpty(&fd, &slave, name, nullptr, nullptr) != 0) {
            log(std::string("openpty: ") + std::strerror(errno));
            return 1;
        }
        // Raw from the start, so that no byte is taken as a line-editing or signal key; the
        // slave stays open here so the line survives the editor closing its port.
        make_raw(slave);
        std::printf("%s\n", name);
    } else {
        fd = ::open(o.device.c_str(), O_RDWR | O_NOCTTY);
        if (fd < 0) {
            log(o.device + ": " + std::strerror(errno));
            return 1;
        }
        make_raw(fd);
        std::printf("%s\n", o.device.c_str());
    }
    std::fflush(stdout);
    Terminal t(fd, o);
    return t.run();
}
