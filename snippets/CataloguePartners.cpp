// Pairs of edits that give one value in two ways (a name or an index, a number or a string):
// while one holds text the other is closed.

#include "snippets/CatalogueBuild.h"

namespace snippets::build {

std::vector<TPartnerCheck> CataloguePartners() {
    return {
        Pair(2, prEdit1, prEdit2, {{0, 3}, 5, 6, 8, 9, 12, {21, 23}, 26}), // 演算
        Pair(3, prEdit1, prEdit2, {1, 2}),                                 // 変換／演算
        Pair(4, prEdit1, prEdit2, {0}),                                    // 日付
        Pair(6, prEdit1, prEdit2, {{0, 3}, {6, 10}}),                      // 画像
        Pair(8, prEdit1, prEdit2, {17, 18}),                               // ドキュメント
        Pair(9, prEdit1, prEdit2, {4}),                                    // ナビゲーター
        Pair(13, prEdit1, prEdit2, {{0, 30}, {32, 36}, 38}),               // フォーム
        Pair(15, prEdit1, prEdit2, {{0, 9}}),                              // フレーム
        Pair(16, prEdit1, prEdit2, {2, {4, 7}, 10, {13, 15}, 19}),         // リンク
        Pair(17, prEdit1, prEdit2, {{0, 10}, 12, {14, 27}}),               // レイヤー
        Pair(1, prEdit2, prEdit3, {0}),                                    // 配列
        Pair(4, prEdit2, prEdit3, {{11, 17}}),                             // 日付
        Pair(5, prEdit2, prEdit3, {16}),                                   // 文字列
        Pair(12, prEdit2, prEdit3, {27}),                                  // ウィンドウ
        Pair(13, prEdit3, prEdit4,
             {1, {4, 7}, {11, 13}, 16, 17, 19, 20, {26, 28}, 30, {34, 36}, 38}), // フォーム
        Pair(13, prEdit3, prEdit5, {15, {21, 23}, 25}),                          // フォーム
        Pair(13, prEdit5, prEdit6, {28}),                                        // フォーム
    };
}

} // namespace snippets::build
