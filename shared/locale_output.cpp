#include "shared/locale_output.h"

#include "platform/win/code_page.h"

namespace cli {

LocaleOutput::LocaleOutput(std::ostream& target) : std::ostream(nullptr), buffer_(target) { rdbuf(&buffer_); }

LocaleOutput::~LocaleOutput() { buffer_.pubsync(); }

LocaleOutput::Buffer::int_type LocaleOutput::Buffer::overflow(int_type c) {
    if (traits_type::eq_int_type(c, traits_type::eof())) return traits_type::not_eof(c);
    pending_ += traits_type::to_char_type(c);
    if (c == '\n' && sync() != 0) return traits_type::eof();
    return c;
}

int LocaleOutput::Buffer::sync() {
    if (pending_.empty()) return target_.flush() ? 0 : -1;
    std::string text;
    try {
        text = win::MessageToLocale(pending_, win::ProjectCodePage());
    } catch (const win::UnknownCodePage&) {
        text = pending_;  // the setting is reported where text is read; the bytes go out as they are
    }
    pending_.clear();
    target_ << text;
    return target_.flush() ? 0 : -1;
}

}  // namespace cli
