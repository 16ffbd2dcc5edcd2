#include "engine/SDur.h"

namespace tontoko {

const std::array<std::string, 24>& SDur::Names() {
    static const std::array<std::string, 24> names{
        "ハ長調",   "変ニ長調", "ニ長調",   "変ホ長調", "ホ長調",   "ヘ長調",
        "嬰へ長調", "ト長調",   "変イ長調", "イ長調",   "変ロ長調", "ロ長調",
        "イ短調",   "変ロ短調", "ロ短調",   "ハ短調",   "嬰ハ短調", "ニ短調",
        "嬰ニ短調", "ホ短調",   "ヘ短調",   "嬰へ短調", "ト短調",   "嬰ト短調"};
    return names;
}

const std::string& SDur::KeyName() const {
    return Names().at(size_t(12 * ModeIndex(mode_) + tonic_));
}

}  // namespace tontoko
