// The writer of the binary form format (EncodeForm), record by record: the mirror of DecodeForm,
// used by the resource compiler and by tests that build small forms of their own.
#include "runtime/forms/form_resource.h"

namespace rt {
namespace {

class Writer {
public:
    void U16(uint16_t v) {
        bytes_.push_back(static_cast<uint8_t>(v));
        bytes_.push_back(static_cast<uint8_t>(v >> 8));
    }
    void I16(int16_t v) { U16(static_cast<uint16_t>(v)); }
    void U32(uint32_t v) {
        U16(static_cast<uint16_t>(v));
        U16(static_cast<uint16_t>(v >> 16));
    }
    void I32(int32_t v) { U32(static_cast<uint32_t>(v)); }
    void Text(const std::string& s) {
        bytes_.insert(bytes_.end(), s.begin(), s.end());
        bytes_.push_back(0);
    }
    void Zeros(size_t n) { bytes_.insert(bytes_.end(), n, 0); }
    std::vector<uint8_t> Take() { return std::move(bytes_); }

private:
    std::vector<uint8_t> bytes_;
};

void WriteI16(Writer& out, uint16_t tag, const std::optional<int16_t>& v) {
    if (!v) return;
    out.U16(tag);
    out.I16(*v);
}

void WriteI32(Writer& out, uint16_t tag, const std::optional<int32_t>& v) {
    if (!v) return;
    out.U16(tag);
    out.I32(*v);
}

void WriteText(Writer& out, uint16_t tag, const std::optional<std::string>& v) {
    if (!v) return;
    out.U16(tag);
    out.Text(*v);
}

// Writes the record of `tag` when the description sets it. 75 and 76 both stand for the font
// face: 76 when a character set goes with it, else 75.
void WriteProperty(Writer& out, const WindowDescription& w, uint16_t tag) {
    switch (tag) {
        case 11: WriteText(out, 11, w.text); break;
        case 13: WriteI16(out, 13, w.showState); break;
        case 14: WriteI16(out, 14, w.disabled); break;
        case 15: WriteI16(out, 15, w.minimized); break;
        case 16: WriteI16(out, 16, w.maximized); break;
        case 21:
            out.U16(21);
            out.Text(w.name);
            break;
        case 30: WriteI16(out, 30, w.textColourIndex); break;
        case 31: WriteI16(out, 31, w.foreColourIndex); break;
        case 32: WriteI16(out, 32, w.backColourIndex); break;
        case 34: if (w.textColour) { out.U16(34); out.U32(*w.textColour); } break;
        case 35: if (w.backColour) { out.U16(35); out.U32(*w.backColour); } break;
        case 37: WriteI16(out, 37, w.mappingMode); break;
        case 39: WriteI16(out, 39, w.redrawMode); break;
        case 50:
        case 51: {
            const auto& pair = tag == 50 ? w.scrollRange : w.scrollSteps;
            if (!pair) break;
            out.U16(tag);
            out.I16(pair->first);
            out.I16(pair->second);
            break;
        }
        case 61: WriteI16(out, 61, w.systemMenuCopy); break;
        case 70: WriteI16(out, 70, w.fontSize); break;
        case 71: WriteI16(out, 71, w.bold); break;
        case 72: WriteI16(out, 72, w.italic); break;
        case 73: WriteI16(out, 73, w.underline); break;
        case 74: WriteI16(out, 74, w.strikeOut); break;
        case 76:
            if (!w.fontFace) break;
            if (!w.charset) {
                WriteText(out, 75, w.fontFace);
                break;
            }
            out.U16(76);
            out.Text(*w.fontFace);
            out.I16(*w.charset);
            out.U16(static_cast<uint16_t>(w.pitchAndFamily.value_or(0) & 0xFF));
            break;
        case 80:
            if (!w.eventsRecorded) break;
            out.U16(80);
            out.I16(0);
            for (const EventBinding& e : w.events) {
                out.I16(e.id);
                out.Text(e.routine);
            }
            out.I16(2);
            break;
        case 124: WriteI32(out, 124, w.axisOrientation); break;
        case 156: WriteI32(out, 156, w.maxLength); break;
        case 159:
            if (!w.placement) break;
            out.U16(159);
            out.I32(*w.placement);
            out.I32(w.geometry.x);
            out.I32(w.geometry.y);
            out.I32(w.geometry.width);
            out.I32(w.geometry.height);
            break;
        case 172: WriteText(out, 172, w.items); break;
        case 173: WriteI32(out, 173, w.initialValue); break;
        case 186: WriteI32(out, 186, w.imeMode); break;
        case 201: WriteI32(out, 201, w.showStateCombine); break;
        case 300:
            for (const WindowDescription::Message& m : w.messages) {
                out.U16(300);
                out.I32(m.message);
                out.I32(m.wParam);
                out.I32(m.lParam);
            }
            break;
        // Records the player ignores; the form's stream carries them all the same.
        case 211:
        case 212:
            out.U16(tag);
            out.Zeros(4);
            break;
        case 62:
            out.U16(tag);
            out.Zeros(8);
            break;
        default:
            break;
    }
}

void WriteCreate(Writer& out, const WindowDescription& w) {
    out.U16(112);
    out.I32(static_cast<int32_t>(w.kind));
    out.U32(w.style);
    out.U32(w.exStyle);
}

// The form's order is the one of the program's five resources; the rest follows it so that
// every field of a description has its place.
constexpr uint16_t kFormHead[] = {212, 211, 37, 39, 124, 11, 21, 30, 31, 32, 62, 61, 70, 71, 72,
                                  73, 74, 76, 300, 159, 34, 35, 50, 51, 156, 186, 172, 173, 80};
constexpr uint16_t kFormTail[] = {13, 15, 16, 201, 14};
constexpr uint16_t kControl[] = {21, 11, 159, 70, 71, 72, 73, 74, 76, 34, 35, 50, 51, 156, 186,
                                 172, 173, 30, 31, 32, 37, 39, 61, 124, 13, 14, 15, 16, 201, 300, 80};

}  // namespace

std::vector<uint8_t> EncodeForm(const FormDescription& form) {
    Writer out;
    out.U16('K' | 'Q' << 8);
    out.U16(1);
    out.U16(1);
    out.U16(9);
    out.Text(form.className);
    out.Text(form.iconName);
    WriteCreate(out, form.form);
    for (uint16_t tag : kFormHead) WriteProperty(out, form.form, tag);
    out.U16(1);
    for (const WindowDescription& c : form.controls) {
        WriteCreate(out, c);
        for (uint16_t tag : kControl) WriteProperty(out, c, tag);
    }
    out.U16(2);
    for (uint16_t tag : kFormTail) WriteProperty(out, form.form, tag);
    out.U16(2);
    return out.Take();
}

}  // namespace rt
