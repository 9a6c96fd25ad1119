// GoFolder.fol of any content: reading either gives settings or refuses the file with the
// program's message (never another failure, never a read past its end), and settings read from
// a file are written so that they read back equal.

#include "components/CabStream.h"
#include "platform/Error.h"
#include "tests/fuzz/FuzzFiles.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArrayView bytes(data, qsizetype(size));
    TCabSettings read;
    try {
        read = ReadCabStream(bytes, TCabSettings());
    } catch (const EQuorvelError& e) {
        Check(e.Message() == BadStreamMessage(), "a damaged file is refused with another message");
        return 0;
    }
    try {
        Check(ReadCabStream(WriteCabStream(read), TCabSettings()) == read,
              "settings read from a file read back changed once written");
    } catch (const EQuorvelError&) {
        Finding("settings read from a file are refused once written");
    }
    return 0;
}
