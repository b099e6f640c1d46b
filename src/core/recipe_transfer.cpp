#include "core/recipe_transfer.h"

#include "core/context.h"
#include "core/eeprom.h"
#include "core/recipefile.h"
#include "core/serial_rx.h"
#include "core/text.h"

#include <algorithm>

namespace kx {
namespace {

std::string name8(const std::string& name) {
    std::string s = name.substr(0, kRecipeNameLen);
    pad_right_space(s, kRecipeNameLen);
    return s;
}

int progress_max(int n, int floor_value) { return n < 1 ? floor_value : n; }

// A numeric answer field at characters [at, at + width) (0-based), read as hexadecimal.
std::int32_t answer_hex(const std::string& answer, size_t at, int width, const char* what) {
    if (answer.size() < at + width)
        bad_data(kErrOutOfRange,
                 std::string(what) + ": answer of " + std::to_string(answer.size()) + " characters");
    return hex_to_long(answer.substr(at, width));
}

std::int32_t answer_slot(const std::string& answer, size_t at, const char* what) {
    const std::int32_t v = answer_hex(answer, at, 2, what);
    if (v >= kRecipeSlots) bad_data(kErrOutOfRange, std::string(what) + " " + std::to_string(v));
    return v;
}

class RecipeRun {
public:
    RecipeRun(Ctx& c, LinkPort& link, TransferPanel& panel)
        : c_(c), m_(c.p.recipe), link_(link), panel_(panel) {}
    void download();
    void upload();

private:
    // Sends a command in a checked frame and waits; false when the transfer ends here.
    bool exchange(const std::string& command) {
        link_.send_frame(checked_frame_text(command));
        link_.wait_reply();
        return c_.p.comm_error == 0;
    }

    Ctx& c_;
    RecipeModel& m_;
    LinkPort& link_;
    TransferPanel& panel_;
};

void RecipeRun::download() {
    // Only a set that the file, the editors and the upload take as well goes to the terminal.
    if (std::string fault = recipe_model_fault(m_); !fault.empty()) bad_data(kErrOutOfRange, fault);
    panel_.set_info(c_.txt(10117));
    if (!exchange(recipe_cmd_header(m_))) return;

    const int len = std::clamp<int>(m_.blk_len, 0, kMaxRecipeElements);
    panel_.set_info(c_.txt(10118));
    const int max_elems = len <= 1 ? 2 : len - 1;
    panel_.progress_show(max_elems);
    for (int i = 0; i < len; ++i) {
        panel_.progress_value(i);
        if (!exchange(recipe_cmd_element(m_, i)) || !exchange(recipe_cmd_limits(m_, i))) return;
    }
    panel_.progress_value(max_elems);

    panel_.set_info(c_.txt(10119));
    const int max_values = progress_max((len - 1) * m_.blk_tot, 1);
    panel_.progress_show(max_values);
    int n = 0;
    for (int b = 0; n < m_.blk_tot; ++b) {
        if (b >= kRecipeSlots) bad_data(kErrOutOfRange, "fewer named blocks than the block count");
        if (m_.recipe_blocks[b].name.empty()) continue;
        if (!exchange(recipe_cmd_name(m_, b)) || !exchange(recipe_cmd_links(m_, b))) return;
        for (int i = 0; i < len; ++i) {
            panel_.progress_value(i + (len - 1) * n);
            if (!exchange(recipe_cmd_value(m_, b, i))) return;
        }
        ++n;
    }
    panel_.progress_value(max_values);

    send_command(c_, link_, 'K');
    if (c_.p.comm_error) return;
    send_command(c_, link_, 'Z');
    if (!c_.p.comm_error) c_.prompt.message(c_.txt(10077), kOkOnly);
}

void RecipeRun::upload() {
    Project& p = c_.p;
    const std::string& answer = p.rx_buffer;

    panel_.set_info(c_.txt(10122));
    if (!exchange("c")) return;
    p.recipe_modified = true;
    const std::int32_t tot = answer_hex(answer, 0, 2, "block count");
    const std::int32_t len = answer_hex(answer, 2, 2, "element count");
    const std::int32_t start = answer_hex(answer, 4, 4, "base address");
    // Only a set that the file and the editors can hold as well.
    if (std::string size = recipe_size_fault(tot, len); !size.empty()) bad_data(kErrOutOfRange, size);
    // The terminal's set replaces the whole model: no block of an earlier file stays named.
    init_recipe_data(m_);
    m_.blk_tot = tot;
    m_.blk_len = len;
    m_.blk_start = start;

    panel_.progress_show(progress_max(len - 1, 1));
    panel_.set_info(c_.txt(10123));
    for (int i = 0; i < len; ++i) {
        panel_.progress_value(i);
        if (!exchange("e" + hex_field(i, 2))) return;
        if (answer.empty())
            bad_data(kErrInvalid, "element " + std::to_string(i) + " without a decimal point");
        const int ch = static_cast<unsigned char>(answer[0]);
        const int digit = (ch & 0x7F) - '0';
        if (digit < 0 || digit > kMaxRecipeDot)
            bad_data(kErrInvalid, "decimal point of element " + std::to_string(i));
        recipe_element& e = m_.recipe_elements[i];
        e.flags = digit + ((ch & 0x80) ? kRecipeOmrHex : 0);
        e.name = name8(answer.substr(1));
        if (!exchange("l" + hex_field(i, 2))) return;
        e.min = answer_hex(answer, 0, 4, "minimum");
        e.max = answer_hex(answer, 4, 4, "maximum");
    }
    panel_.progress_value(progress_max(len - 1, 1));

    panel_.progress_show(progress_max((len - 1) * tot, 1));
    panel_.set_info(c_.txt(10124));
    int n = 0;
    for (int b = 0; n < tot; ++b) {
        if (b >= kRecipeSlots) bad_data(kErrOutOfRange, "fewer named blocks than the block count");
        const std::string slot = hex_field(b, 2);
        recipe_block& blk = m_.recipe_blocks[b];
        if (!exchange("n" + slot)) return;
        blk.name = blank_or_pad8(answer.substr(0, kRecipeNameLen));
        if (!exchange("p" + slot)) return;
        blk.prev = answer_slot(answer, 0, "previous block");
        blk.next = answer_slot(answer, 2, "next block");
        for (int i = 0; i < len; ++i) {
            if (!blk.name.empty()) panel_.progress_value(i + (len - 1) * n);
            if (!exchange("b" + slot + hex_field(i, 2))) return;
            blk.values[i] = answer_hex(answer, 0, 4, "value");
        }
        if (!blk.name.empty()) ++n;
    }
    panel_.progress_value(progress_max((len - 1) * tot, 1));
    // Every answer arrived, but their links may still not make one list: no success then.
    if (std::string fault = recipe_model_fault(m_); !fault.empty()) bad_data(kErrInvalid, fault);
    c_.prompt.message(c_.txt(10077), kOkOnly);
}

} // namespace

std::string checked_frame_text(const std::string& command) {
    const std::string s = "00" + frame_safe(command);
    return s + hex_field(xor_check(s), 4);
}

std::string recipe_cmd_header(const RecipeModel& m) {
    return "C" + hex_field(m.blk_tot, 2) + hex_field(m.blk_len, 2) + hex_field(m.blk_start, 4);
}

std::string recipe_cmd_element(const RecipeModel& m, int i) {
    const recipe_element& e = m.recipe_elements[i];
    char point = "0123456789ABCDEF"[(e.flags & 0x7F) & 0xF];
    if (e.flags & kRecipeOmrHex) point = static_cast<char>(point + 128);
    return "E" + hex_field(i, 2) + point + name8(e.name);
}

std::string recipe_cmd_limits(const RecipeModel& m, int i) {
    const recipe_element& e = m.recipe_elements[i];
    return "L" + hex_field(i, 2) + hex_field(e.min, 4) + hex_field(e.max, 4);
}

std::string recipe_cmd_name(const RecipeModel& m, int b) {
    return "N" + hex_field(b, 2) + name8(m.recipe_blocks[b].name);
}

std::string recipe_cmd_links(const RecipeModel& m, int b) {
    const recipe_block& blk = m.recipe_blocks[b];
    return "P" + hex_field(b, 2) + hex_field(blk.prev, 2) + hex_field(blk.next, 2);
}

std::string recipe_cmd_value(const RecipeModel& m, int b, int i) {
    return "B" + hex_field(b, 2) + hex_field(i, 2) + hex_field(m.recipe_blocks[b].values[i], 4);
}

namespace {

// Start of either recipe transfer: the busy rule, the port opened, `step` run, and the port
// released on every way out. Ended means the step ran to its end.
TransferOutcome run_recipe_step(Ctx& c, LinkPort& link, TransferPanel& panel, void (RecipeRun::*step)()) {
    if (check_port_open(c, link.port_open())) return TransferOutcome::Refused;
    RecipeRun run(c, link, panel);
    try {
        link.open();
        panel.buttons_hidden();
        c.p.stop_transfer = false;
        (run.*step)();
    } catch (const TransferError& e) {
        return report_failure(c, link, panel, e);
    }
    link.release();
    return TransferOutcome::Ended;
}

} // namespace

TransferOutcome run_recipe_download(Ctx& c, LinkPort& link, TransferPanel& panel) {
    return run_recipe_step(c, link, panel, &RecipeRun::download);
}

TransferOutcome run_recipe_upload(Ctx& c, LinkPort& link, TransferPanel& panel) {
    const TransferOutcome done = run_recipe_step(c, link, panel, &RecipeRun::upload);
    // After a time-out or a line error, what arrived is offered only when it can be written.
    if (done == TransferOutcome::Ended && recipe_model_fault(c.p.recipe).empty()) ask_save_recipe_file(c);
    return done;
}

TransferOutcome replay_recipe_upload(Ctx& c, std::string_view bytes) {
    ReplayLink link(c.p, bytes);
    TransferPanel panel;
    return run_recipe_upload(c, link, panel);
}

} // namespace kx
