#include "driver/demo_show.h"

namespace driver {

DemoShow::DemoShow(const ShowContext& context, const MusicBuilder& buildMusic, int firstScene)
    : effects_(context.hasMMX), music_(buildMusic()), timeline_(effects_, *music_, context.state, context.hasMMX)
{
    timeline_.startAt(firstScene);
}

} // namespace driver
