#pragma once
#include "resources/images.h"

// The image a button shows once the cursor enters it, given what it shows now: every
// normal image has its hover twin; any other image stays as it is.
ImageId HoverImageOf(ImageId shown);

// The image a button shows once the cursor leaves it: every hover image goes back to its
// normal twin; any other image stays as it is.
ImageId NormalImageOf(ImageId shown);
