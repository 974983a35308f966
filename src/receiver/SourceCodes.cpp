#include "receiver/SourceCodes.h"

#include "core/Station.h"
#include "core/TextLines.h"

namespace quillmar {

bool ReadSourceCodes(Station& st, std::vector<std::string>* codes) {
    codes->clear();
    std::string text, error;
    if (!st.platform.files.fileExists(kSourceCodesPath) ||
        !st.platform.files.readFile(kSourceCodesPath, &text, &error))
        return false;
    *codes = SplitLines(text);
    return true;
}

bool SaveSourceCodes(Station& st, const std::vector<std::string>& codes, std::string* error) {
    std::string text;
    for (const auto& code : codes) text += code + "\r\n";
    return st.platform.files.writeFile(kSourceCodesPath, text, error);
}

}  // namespace quillmar
