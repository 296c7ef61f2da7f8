#pragma once

#include "platform/card.h"
#include "platform/card_binding.h"
#include "records/budget_record.h"
#include "records/short_string.h"

namespace gim {

struct Context;

// The percentages that share a machine's preventive minutes out among the other three budget times.
struct BudgetWeights
{
    LeI32 Prev; // preventive: the base the others are taken against
    LeI32 Repar;
    LeI32 cond;
    LeI32 avr;
};

BudgetWeights DefaultBudgetWeights();

// The budget of a machine whose preventive routine adds up to `minutes` a year: PV the minutes, and the
// conductive, breakdown and repair times in the weights' proportion to the preventive one. Without a
// preventive weight there is nothing to take them against: they are 0.
void ApplyBudgetWeights(TBudgetRecord& rec, std::int64_t minutes, const BudgetWeights& weights);

// The weighting dialog TPondpres: four percentages, confirmed only while they add up to 100 with a
// preventive share above 0. Results: Save (confirmed) or Exit.
CardSpec BudgetWeightsCardSpec();
const CardBinding<BudgetWeights>& BudgetWeightsCardBinding();

// The budget card Twprs on one record: code and machine name shown, preventive, breakdown and repair
// minutes and the two amounts edited; conductive time neither shown nor changed. Results: Save, Exit.
CardSpec BudgetCardSpec();
const CardBinding<TBudgetRecord>& BudgetCardBinding();

// Costes > Edicion Presup.: every budget record in file order on the card, each saved in place.
void EditBudget(Context& ctx);

} // namespace gim
