#pragma once
// Installs the makers of the real per-user components for the sync center.
void InstallComponentMakers();
