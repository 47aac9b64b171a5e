import java.io.IOException;
import org.gnu.glpk.GLPK;
import org.gnu.glpk.SWIGTYPE_p_double;
import org.gnu.glpk.SWIGTYPE_p_int;
import org.gnu.glpk.glp_prob;

/**
 * Builds the same model the way a Java program does it with GLPK for Java (Debian's libglpk-java):
 * one call per value through its API, the matrix through its SWIG arrays, then the advanced basis.
 *
 * <pre>
 * GlpkJavaBench ENTRIES WARMUP REPS RESULTS
 * </pre>
 */
public final class GlpkJavaBench {
    private GlpkJavaBench() {
    }

    public static void main(String[] args) throws IOException {
        BenchModel model = BenchModel.generate(Long.parseLong(args[0]));
        int warmup = Integer.parseInt(args[1]);
        int reps = Integer.parseInt(args[2]);
        for (int r = 0; r < warmup; r++) buildAndBasis(model);
        long[] times = new long[reps];
        for (int r = 0; r < reps; r++) {
            long start = System.nanoTime();
            buildAndBasis(model);
            times[r] = System.nanoTime() - start;
        }
        KestrovanBench.record(args[3], "glpkjava " + model.entries() + " " + Long.toHexString(model.fingerprint())
                + " " + BenchModel.join(times));
    }

    private static void buildAndBasis(BenchModel m) {
        int n = m.obj.length;
        int rows = m.rhs.length;
        int ne = m.entries();
        glp_prob lp = GLPK.glp_create_prob();
        GLPK.glp_set_prob_name(lp, "TARVEK");
        GLPK.glp_set_obj_dir(lp, GLPK.GLP_MIN);
        GLPK.glp_add_cols(lp, n);
        GLPK.glp_add_rows(lp, rows);
        GLPK.glp_set_obj_name(lp, "OBJ");
        for (int j = 0; j < n; j++) GLPK.glp_set_obj_coef(lp, j + 1, m.obj[j]);
        for (int i = 0; i < rows; i++) {
            if (m.type[i] == 0) {
                GLPK.glp_set_row_bnds(lp, i + 1, GLPK.GLP_FX, m.rhs[i], 0.0);
            } else {
                GLPK.glp_set_row_bnds(lp, i + 1, GLPK.GLP_UP, 0.0, m.rhs[i]);
            }
        }
        for (int j = 0; j < n; j++) GLPK.glp_set_col_bnds(lp, j + 1, GLPK.GLP_DB, m.lb[j], m.ub[j]);
        SWIGTYPE_p_int ia = GLPK.new_intArray(ne + 1);
        SWIGTYPE_p_int ja = GLPK.new_intArray(ne + 1);
        SWIGTYPE_p_double ar = GLPK.new_doubleArray(ne + 1);
        for (int k = 0; k < ne; k++) {
            GLPK.intArray_setitem(ia, k + 1, m.ai[k] + 1);
            GLPK.intArray_setitem(ja, k + 1, m.aj[k] + 1);
            GLPK.doubleArray_setitem(ar, k + 1, m.amatrix[k]);
        }
        GLPK.glp_load_matrix(lp, ne, ia, ja, ar);
        GLPK.delete_intArray(ia);
        GLPK.delete_intArray(ja);
        GLPK.delete_doubleArray(ar);
        GLPK.glp_adv_basis(lp, 0);
        GLPK.glp_delete_prob(lp);
    }
}
