// Description generation from any template and any seller's input.
#include "FuzzInput.h"

#include "core/Cp932.h"
#include "description/Description.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const FuzzInput in(data, size);
    QStringList lines = description::templateLines(cp932::decode(in.bytes(0)));
    if (lines.size() > description::kTableSize) lines = lines.mid(0, description::kTableSize);
    description::Input input;
    input.mark = in.text(1);
    input.productName = in.text(2);
    for (int k = 0; k < description::kItems; ++k) {
        input.itemNames << in.text(3 + k);
        input.itemContents << in.text(3 + description::kItems + k);
    }
    input.myAuction = in.number(19, 2) == 1;
    input.myAuctionForm = in.number(20, 3) - 1;
    input.sellerId = in.text(21);
    const description::Output out = description::generate(lines, input);
    FUZZ_CHECK(out.table.size() <= description::kTableSize);
    FUZZ_CHECK(out.fileLines.size() <= 3 * in.bytes(0).size() + 64 * 1024 * 1024);
    // What goes into the preview file can always be held by it.
    for (const QString& line : out.fileLines) FUZZ_CHECK(cp932::canEncode(cp932::escaped(line)));
    description::titleByteCount(input.mark, input.productName);
    description::decorationFragment(in.text(22), true, in.number(23, 2) == 1, false, static_cast<unsigned>(in.number(24, 1 << 24)),
                                    in.text(25));
    description::linkFragment(in.text(26), in.text(27));
    return 0;
}
