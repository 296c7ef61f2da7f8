#pragma once

namespace gim {

class CommandRegistry;
struct Context;
class OperationRegistry;
class PictureCodec;

// Registers the operations of the work-order and repair-budget menu items and the hand-over of the
// work-order listing. `codec` stores the photos chosen on the work-order card; it must outlive the
// context.
void RegisterCorrective(OperationRegistry& registry, Context& ctx, const PictureCodec& codec);

// Declares the main-menu items of Averías, Reparaciones and OT/Prspuestos but a budget's materials.
void DeclareCorrectiveCommands(CommandRegistry& menu);

} // namespace gim
