#pragma once
// The advert rotation: the advert list and its parse, the downloads, the
// channel controller and its timer thread.

#include "AdDownload.h"
#include "AdInterface.h"
#include "AdParameter.h"
#include "AdPlayThread.h"
#include "UInternetCheck.h"
