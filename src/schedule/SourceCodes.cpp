#include "schedule/SourceCodes.h"

#include "platform/FileSystem.h"
#include "platform/TextLines.h"

namespace quillmar {

bool ReadSourceCodes(FileSystem& files, std::vector<std::string>* codes) {
    codes->clear();
    std::string text, error;
    if (!files.fileExists(kSourceCodesPath) || !files.readFile(kSourceCodesPath, &text, &error))
        return false;
    *codes = SplitLines(text);
    return true;
}

bool SaveSourceCodes(FileSystem& files, const std::vector<std::string>& codes, std::string* error) {
    std::string text;
    for (const auto& code : codes) text += code + "\r\n";
    return files.writeFile(kSourceCodesPath, text, error);
}

std::string SourceCodeUpper(std::string code) {
    if (code.size() > kSourceCodeLength) code.resize(kSourceCodeLength);
    for (char& c : code) {
        const auto u = static_cast<unsigned char>(c);
        if ((u >= 'a' && u <= 'z') || (u >= 0xE0 && u <= 0xFE && u != 0xF7))
            c = static_cast<char>(u - 0x20);
        else if (u == 0x9A || u == 0x9C || u == 0x9E)  // s, oe and z with their marks
            c = static_cast<char>(u - 0x10);
        else if (u == 0xFF)  // y with diaeresis
            c = static_cast<char>(0x9F);
    }
    return code;
}

}  // namespace quillmar
