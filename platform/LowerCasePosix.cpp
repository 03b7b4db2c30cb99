#include "platform/LowerCase.h"

#include <climits>
#include <clocale>
#include <cwchar>
#include <cwctype>
#include <locale.h>

namespace pix {

namespace {

// The user's locale may not be a UTF-8 one; the text always is.
locale_t Utf8Locale()
{
    static const locale_t locale = newlocale(LC_CTYPE_MASK, "C.UTF-8", nullptr);
    return locale;
}

} // namespace

std::string LowerCase(std::string_view text)
{
    const locale_t locale = Utf8Locale();
    if (locale == nullptr)
        return std::string(text);
    const locale_t previous = uselocale(locale);
    std::string lowered;
    std::mbstate_t in{};
    std::mbstate_t out{};
    char bytes[MB_LEN_MAX];
    for (std::size_t at = 0; at < text.size();) {
        wchar_t character = 0;
        const std::size_t used = std::mbrtowc(&character, text.data() + at, text.size() - at, &in);
        if (used == static_cast<std::size_t>(-1) || used == static_cast<std::size_t>(-2)) {
            // Not UTF-8 from here on: the rest is kept as it is.
            lowered.append(text.substr(at));
            break;
        }
        const std::size_t length = used == 0 ? 1 : used;
        const std::size_t written = std::wcrtomb(bytes, static_cast<wchar_t>(towlower_l(static_cast<wint_t>(character), locale)), &out);
        if (written == static_cast<std::size_t>(-1))
            lowered.append(text.substr(at, length));
        else
            lowered.append(bytes, written);
        at += length;
    }
    uselocale(previous);
    return lowered;
}

} // namespace pix
