#include "print/print_options.h"

#include "model/labelformat.h"
#include "platform/clock.h"
#include "platform/font.h"
#include "platform/strutil.h"

CCopyField CCopyField::Parse(const std::string& text)
{
    CCopyField f;
    if (text.empty()) return f;
    const std::vector<std::string> items = SplitString(text, ',');
    auto item = [&](size_t i) { return i < items.size() ? items[i] : std::string(); };
    f.enabled = AtoI(item(0)) != 0;
    f.field = item(1);
    f.column = AtoI(item(2));
    f.autoQuantity = AtoI(item(3)) != 0;
    f.inputFirst = AtoI(item(4)) != 0;
    return f;
}

std::string CCopyField::Format() const
{
    return StrFormat("%d,%s,%d,%d,%d", enabled ? 1 : 0, field.c_str(), column, autoQuantity ? 1 : 0,
                     inputFirst ? 1 : 0);
}

bool CopyFieldEnabled(const CLabelFormat& format)
{
    const CCopyField f = CCopyField::Parse(format.GetProperty(LFP_COPY_FIELD));
    return f.enabled && !f.field.empty();
}

CAlignMarks CAlignMarks::Parse(const std::string& text)
{
    CAlignMarks m;
    if (text.empty()) return m;
    m.items.fill(0);
    const std::vector<std::string> parts = SplitString(text, '|');
    for (size_t i = 0; i < parts.size() && i < m.items.size(); ++i) m.items[i] = AtoI(parts[i]);
    return m;
}

std::string CAlignMarks::Format() const
{
    std::string out;
    for (size_t i = 0; i < items.size(); ++i) out += (i ? "|" : "") + std::to_string(items[i]);
    return out;
}

bool CAlignMarks::LabelOutline() const
{
    if (!items[ON]) return false;
    return items[TYPE] == 3 ? items[LABEL_OUTLINE] != 0 : items[TYPE] == 0 || items[TYPE] == 2;
}

bool CAlignMarks::BlockSplit() const
{
    if (!items[ON]) return false;
    return items[TYPE] == 3 ? items[BLOCK_SPLIT] != 0 : items[TYPE] == 1 || items[TYPE] == 2;
}

bool CAlignMarks::LabelHCenter() const { return items[ON] && items[TYPE] == 3 && items[LABEL_HCENTER]; }
bool CAlignMarks::LabelVCenter() const { return items[ON] && items[TYPE] == 3 && items[LABEL_VCENTER]; }
bool CAlignMarks::BlockHCenter() const { return items[ON] && items[TYPE] == 3 && items[BLOCK_HCENTER]; }
bool CAlignMarks::BlockVCenter() const { return items[ON] && items[TYPE] == 3 && items[BLOCK_VCENTER]; }

bool RightToLeftOrder(const CLabelFormat& format)
{
    return format.m_nStartCorner == 1 || format.m_nStartCorner == 2;
}

bool AutoTrackStartLabel(const CLabelFormat& format) { return format.GetProperty(LFP_AUTO_START_LABEL) == "Y"; }

long long PrintedLabelsCounter(const CLabelFormat& format)
{
    const std::string text = Trim(format.GetProperty(LFP_NUMBERING_OFFSET));
    long long v = 0;
    size_t i = 0;
    const bool negative = !text.empty() && text[0] == '-';
    if (negative || (!text.empty() && text[0] == '+')) i = 1;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        if (v > 100000000000000000LL) break;
        v = v * 10 + (text[i] - '0');
    }
    return negative ? -v : v;
}

void SetPrintedLabelsCounter(CLabelFormat& format, long long value)
{
    format.SetProperty(LFP_NUMBERING_OFFSET, std::to_string(value));
}

int TrackedStartLabel(const CLabelFormat& format)
{
    const std::string text = Trim(format.GetProperty(kTrackedStartLabelProperty));
    if (text.empty()) return -1;
    const int v = AtoI(text);
    return v < 0 ? -1 : v;
}

void SetTrackedStartLabel(CLabelFormat& format, int start)
{
    format.SetProperty(kTrackedStartLabelProperty, std::to_string(start));
}

namespace {
bool g_printNonPrint = false;
}  // namespace

bool PrintsNonPrintObjects() { return g_printNonPrint; }

void SetPrintNonPrintObjects(bool on) { g_printNonPrint = on; }

std::string FormatPageNumber(const std::string& text, int page, const std::string& title, const std::string& path)
{
    const CLocalTime now = CurrentLocalTime();
    std::string out;
    const std::vector<DecodedChar> chars = DecodeAnsiChars(text);
    for (size_t i = 0; i < chars.size(); ++i) {
        const DecodedChar& c = chars[i];
        if (c.ch != U'&') {
            out.append(text, size_t(c.offset), size_t(c.bytes));
            continue;
        }
        if (i + 1 == chars.size()) {
            out += '&';  // a lone "&" at the end prints as itself
            break;
        }
        const char32_t next = chars[i + 1].ch;
        const bool letter = (next >= U'A' && next <= U'Z') || (next >= U'a' && next <= U'z');
        if (!letter && next != U'&') {
            out += '&';  // not a code: the "&" stays and the next character is read as usual
            continue;
        }
        ++i;
        switch (next) {
        case U'&': out += '&'; break;
        case U'D': out += StrFormat("%04d-%02d-%02d", now.year, now.month, now.day); break;
        case U'T': out += StrFormat("%02d:%02d:%02d", now.hour, now.minute, now.second); break;
        case U'F': out += title; break;
        case U'H': out += path; break;
        case U'P': out += std::to_string(page); break;
        default: break;  // any other letter stands for nothing
        }
    }
    return out;
}
