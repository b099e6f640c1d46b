#include "core/project.h"

namespace kx {

variable_record page_record::var(int slot) const {
    variable_record v;
    if (slot < 0 || slot >= kVarSlots) return v;
    v.access = access[slot];
    v.type = type[slot];
    v.pos = pos[slot];
    v.digits = digits[slot];
    v.dec = dec[slot];
    v.address = address[slot];
    v.min = min[slot];
    v.max = max[slot];
    return v;
}

void page_record::set_var(int slot, const variable_record& v) {
    if (slot < 0 || slot >= kVarSlots) return;
    access[slot] = v.access;
    type[slot] = v.type;
    pos[slot] = v.pos;
    digits[slot] = v.digits;
    dec[slot] = v.dec;
    address[slot] = v.address;
    min[slot] = v.min;
    max[slot] = v.max;
}

Project::Project()
    : page_store(kLangSlots, std::vector<page_record>(kPageSlots)),
      page_clipboard(kLangSlots, std::vector<page_record>(kPageSlots)), global_strings(7) {}

} // namespace kx
