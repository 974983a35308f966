#include "support/SimStation.h"

#include <gtest/gtest.h>

#include "core/Startup.h"

namespace quillmar::testing {

SimStation::SimStation(DateTime start, PortIO* otherPorts) : clock(start) {
    station = std::make_unique<Station>(Platform{clock, loop, files, errors, serial, printer,
                                                 otherPorts ? *otherPorts : ports, mail, audio,
                                                 background});
}

void SimStation::start() {
    std::string error;
    ASSERT_TRUE(StartStation(*station, &error)) << error;
}

std::string SimStation::read(const std::string& drivePath) const {
    std::string bytes, error;
    EXPECT_TRUE(files.readFile(drivePath, &bytes, &error)) << drivePath << ": " << error;
    return bytes;
}

void SimStation::write(const std::string& drivePath, const std::string& bytes) {
    std::string error;
    const auto cut = drivePath.find_last_of('\\');
    // Make the folders of the path on the way.
    for (std::size_t at = drivePath.find('\\', 3); at != std::string::npos && at <= cut;
         at = drivePath.find('\\', at + 1))
        files.createFolder(drivePath.substr(0, at), &error);
    ASSERT_TRUE(files.writeFile(drivePath, bytes, &error)) << drivePath << ": " << error;
}

}  // namespace quillmar::testing
