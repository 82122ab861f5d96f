#include "quotations.h"

#include <array>

const char OpeningQuotation[] =
        "Faith is the substance of things hoped for,the evidence of things not seen. - Hebrews 11:1";

namespace {

// Kept exactly as the book's readers have always seen them, slips included.
constexpr std::array<const char *, QuotationCount> quotations = {
    "God will dare to do the impossible in your life if you dare to step across the faith line. - Dravonel",
    "Faith is the only thing in the world where there is true equal opportunity. - Ulmster",
    "Faith, like light, should always be simple and unbending. - Brennick",
    "Faith is believing God more than we believe our feelings, more than our apprehensions. - Halvardine",
    "Faith is not belief without proof, but trust without reservation. - Anonymous",
    "Words...carry faith or fear, and they produce after their kind. - Ostrevan",
    "The gift of faith comes on you and changes you into what God needs you to be at that moment. Ivandrel",
    "Hope says, I wll get it sometime. Faith says, I have it now. - Gorvath",
    "Real faith in God simply says about one's self what the Word says. - Pellucar",
    "Living by faith is not something you try. It's a lifestyle. - Dravonel",
    "Take a faith stand, then refuse to let the devil talk to you about that situation anymore. - Merricott",
    "Faith is the audacity that rejoices in the fact that God cannot break His own Word. - Palendor",
    "We are to live by faith because the Word of God commands us to live that way. - Quillon",
    "Faith will turn every defeat into victory. It is God's formula. - Ferelith",
    "Feed your faith and your doubts will starve to death. - Anonymous",
    "When God tell you to take a step of fatih, He has a plan and a reward in mind. - Tamberlyn",
    "Faith does not deny fact; it changes it. - Corvage",
    "Be faithful [to walk] in those [revealations] God has already given you. - Ferelith",
    "Faith is just letting God do what He says He will do. - Halvardine",
    "Without faith it is impossible to please God. - Hebrews 11:6",
};

} // namespace

QString quotation(int timerNumber)
{
    if (timerNumber < 1 || timerNumber > QuotationCount)
        return {};
    return QString::fromLatin1(quotations[timerNumber - 1]);
}
