#include "SampleWords.h"

#include <array>
#include <utility>

#include "GbkText.h"

TWordInfos SampleWords()
{
    static constexpr std::array<std::pair<const char *, const char *>, 40> words = {{
        {"abandon", "v.放弃，遗弃"},
        {"ability", "n.能力，才能"},
        {"absorb", "v.吸收，吸引…的注意"},
        {"academic", "adj.学院的，学术的"},
        {"accelerate", "v.加速，促进"},
        {"accommodation", "n.住处，膳宿；调节，和解"},
        {"accurate", "adj.准确的，精确的"},
        {"achieve", "v.完成，实现，达到"},
        {"acquire", "v.获得，学到"},
        {"adapt", "v.使适应，改编"},
        {"adequate", "adj.足够的，适当的"},
        {"adjust", "v.调整，调节；适应"},
        {"advocate", "v.提倡，鼓吹 n.提倡者，拥护者"},
        {"affect", "v.影响，感动"},
        {"aggressive", "adj.侵略的，好斗的；有进取心的"},
        {"allocate", "v.分配，分派"},
        {"alternative", "n.供选择的东西 adj.两者择一的"},
        {"ambiguous", "adj.模棱两可的，含糊不清的"},
        {"analyse", "v.分析，分解"},
        {"anticipate", "v.预期，期望"},
        {"apple", "n.苹果"},
        {"apparent", "adj.明显的，表面上的"},
        {"appreciate", "v.欣赏，感激，领会"},
        {"approach", "v.接近 n.方法，途径"},
        {"appropriate", "adj.适当的，恰当的"},
        {"arbitrary", "adj.任意的，武断的"},
        {"assess", "v.估定，评定"},
        {"assume", "v.假定，设想；承担"},
        {"attach", "v.系，贴，附上"},
        {"attitude", "n.态度，看法"},
        {"authority", "n.权力，权威；当局"},
        {"available", "adj.可利用的，可得到的"},
        {"aware", "adj.知道的，意识到的"},
        {"balance", "n.平衡，余额 v.平衡"},
        {"barrier", "n.障碍，屏障"},
        {"behalf", "n.代表，利益"},
        {"benefit", "n.利益，好处 v.有益于"},
        {"blank", "adj.空白的 n.空白"},
        {"boundary", "n.分界线，边界"},
        {"budget", "n.预算 v.做预算"},
    }};
    TWordInfos list;
    for (const auto &[spelling, meaning] : words) {
        TWordInfo w;
        w.Spelling = spelling;
        w.Meaning = Gbk(meaning);
        list.push_back(std::move(w));
    }
    return list;
}
