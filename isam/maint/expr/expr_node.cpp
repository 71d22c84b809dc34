// Making and freeing expression nodes.
#include "isam/maint/expr/expr_node.h"

#include <new>

#include "isam/runtime/engine_pool.h"

namespace isam::maint {

ExprNode* ExprMakeNode(int kind, int type, ExprNode* left, ExprNode* right) {
  void* block = EngineAlloc(static_cast<int32_t>(sizeof(ExprNode)));
  if (block == nullptr) return nullptr;
  ExprNode* n = new (block) ExprNode;
  n->kind = static_cast<int16_t>(kind);
  n->type = static_cast<int16_t>(type);
  n->left = left;
  n->right = right;
  uint16_t below = 0;
  if (left != nullptr && left->depth > below) below = left->depth;
  if (right != nullptr && right->depth > below) below = right->depth;
  n->depth = static_cast<uint16_t>(below + 1);
  return n;
}

int ExprFreeTree(ExprNode* tree) {
  if (tree == nullptr) return 0;
  ExprFreeTree(tree->left);
  ExprFreeTree(tree->right);
  if (tree->text != nullptr) EngineFree(tree->text);
  EngineFree(tree);
  return 0;
}

}  // namespace isam::maint
