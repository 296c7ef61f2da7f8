#include "store/store_operations.h"

#include "core/context.h"
#include "core/operations.h"
#include "store/supplier_listings.h"
#include "store/suppliers.h"

namespace gim {

void RegisterStore(OperationRegistry& registry, [[maybe_unused]] Context& ctx)
{
    registry.Register(Op::LoadSupplierList, LoadSupplierList);
    registry.Register(Op::FreeSupplierList, FreeSupplierList);
    registry.Register(Op::AddSupplier, AddSupplier);
    registry.Register(Op::EditSupplier, EditSupplier);
    registry.Register(Op::CompactSupplierFile, [](Context& c) { CompactSupplierFile(c); });
    registry.Register(Op::ListSuppliers, ListSuppliers);
}

} // namespace gim
