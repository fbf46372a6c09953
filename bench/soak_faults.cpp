#include "soak_faults.h"

// Replies are counted over the round (zr8sim starts afresh each round): a contact is about
// 5 replies, a save 18, a restore 25, a banner write 2, a load about 1010; a load brings
// about 67,600 bytes to the radio; a restore writes 17 blocks.
CSoakFault CSoakFaults::Next() {
    const unsigned replies = 1100;
    switch (Between(0, 11)) {
    case 0: return {"none", ""};
    case 1: return {"drop-reply", "drop-reply=" + std::to_string(Between(1, replies))};
    case 2: return {"garbage", "garbage=" + std::to_string(Between(1, replies)) + "x" + std::to_string(Between(1, 40))};
    case 3:
        return {"late", "late=" + std::to_string(Between(50, 3000)) + "@" + std::to_string(Between(1, replies))};
    case 4: return {"bad-checksum", "bad-checksum=" + std::to_string(Between(1, 20))};
    case 5:
        return {"refuse-packet", "refuse-packet=" + std::to_string(Between(1, 993)) + "x" + std::to_string(Between(1, 6))};
    case 6: return {"drop-packet-reply", "drop-packet-reply=" + std::to_string(Between(1, 993))};
    case 7: return {"answer-c", "answer-c=" + std::to_string(Between(1, 993))};
    case 8: return {"lose-byte", "lose-byte=" + std::to_string(Between(1, 993 * 68))};
    case 9: return {"power-loss", "power-loss=" + std::to_string(Between(1, 20))};
    case 10: return {"silent", "silent=" + std::to_string(Between(0, replies))};
    default: return {"vanish", "vanish=" + std::to_string(Between(1, 70000))};
    }
}
