// Writes a level-0 LHA archive with libjlha-java:
//   java MkLha OUT METHOD NAME LETTER FILE [NAME LETTER FILE ...]
// METHOD is -lh0- or -lh1- (jlha stores an entry as -lh0- when -lh1- would
// not make it smaller). A non-empty LETTER gives the C64 name NAME \0 LETTER.
import java.io.FileOutputStream;
import java.nio.file.Files;
import java.nio.file.Paths;
import java.util.Date;
import jp.gr.java_conf.dangan.util.lha.LhaHeader;
import jp.gr.java_conf.dangan.util.lha.LhaOutputStream;

public class MkLha {
    public static void main(String[] args) throws Exception {
        try (LhaOutputStream out = new LhaOutputStream(new FileOutputStream(args[0]))) {
            for (int i = 2; i + 2 < args.length; i += 3) {
                String name = args[i + 1].isEmpty() ? args[i] : args[i] + "\0" + args[i + 1];
                LhaHeader header = new LhaHeader(name);
                header.setHeaderLevel(0);
                header.setCompressMethod(args[1]);
                header.setLastModified(new Date(88, 5, 1));
                out.putNextEntry(header);
                out.write(Files.readAllBytes(Paths.get(args[i + 2])));
                out.closeEntry();
            }
        }
    }
}
