#include "receiver/SourceCodes.h"

#include "core/Station.h"

namespace quillmar {

bool ReadSourceCodes(Station& st, std::vector<std::string>* codes) {
    codes->clear();
    std::string text, error;
    if (!st.platform.files.fileExists(kSourceCodesPath) ||
        !st.platform.files.readFile(kSourceCodesPath, &text, &error))
        return false;
    std::size_t at = 0;
    while (at < text.size()) {
        auto end = text.find('\n', at);
        if (end == std::string::npos) end = text.size();
        std::string line = text.substr(at, end - at);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        codes->push_back(line);
        at = end + 1;
    }
    return true;
}

bool SaveSourceCodes(Station& st, const std::vector<std::string>& codes, std::string* error) {
    std::string text;
    for (const auto& code : codes) text += code + "\r\n";
    return st.platform.files.writeFile(kSourceCodesPath, text, error);
}

}  // namespace quillmar
