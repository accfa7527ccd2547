#pragma once

struct TableFormDecl;

// The emergency services "Notdienste" (TF_Notdienst): the outside firms
// called when something breaks at an object, with their address, bank and
// memo.
TableFormDecl NotdienstTableDecl();
