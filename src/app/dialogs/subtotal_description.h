#pragma once
// "Subtotal Description": the description asked for a new subtotal. It has no Cancel: a
// subtotal always gets a description.

#include "core/prompter.h"

namespace yl {

inline TextRequest SubtotalDescriptionRequest(int help_topic) {
  TextRequest r;
  r.caption = "Subtotal Description";
  r.label = "Please specify the Description of this Subtotal.";
  r.initial = " ... changes";
  r.help_topic = help_topic;
  r.cancellable = false;
  return r;
}

}  // namespace yl
